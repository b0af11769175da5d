#pragma once
// Picture fixtures for the image and texture tests, made at run time with
// FreeImage itself in a fresh temporary folder.

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ofImage.h"

namespace imgtest {

// FreeImage's plugins must be up before a fixture is written; an image
// construction starts them (again, after ofCloseFreeImage).
inline void useFreeImage() { ofImage starter; }

class TempDir {
public:
    TempDir() {
        useFreeImage();
        char pattern[] = "/tmp/wyrle-img-XXXXXX";
        if (mkdtemp(pattern)) dir_ = pattern;
    }
    ~TempDir() {
        if (dir_.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !dir_.empty(); }
    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    // Everything in the folder, so a test can see that no stray file is left.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            out.push_back(entry.path().filename().string());
        return out;
    }

private:
    std::string dir_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

struct Rgba {
    int r, g, b, a;
};

// Test patterns, indexed top-down.
inline Rgba rgbAt(int x, int y) { return {x * 50 + 3, y * 80 + 5, (x * y * 20 + 100) & 255, 255}; }
inline int alphaAt(int x, int y) { return (x * 40 + y * 70 + 1) & 255; }
inline int greyAt(int x, int y) { return (x * 40 + y * 17 + 2) & 255; }
inline Rgba paletteEntry(int i) { return {(i * 37 + 11) & 255, (i * 91 + 7) & 255, (255 - i * 13) & 255, 255}; }
inline int transparencyOf(int i) { return (i * 50 + 5) & 255; }

inline void setPalette(FIBITMAP* bmp, int count, bool grey) {
    RGBQUAD* pal = FreeImage_GetPalette(bmp);
    for (int i = 0; i < count; ++i) {
        const Rgba c = grey ? Rgba{i, i, i, 255} : paletteEntry(i);
        pal[i].rgbRed = static_cast<BYTE>(c.r);
        pal[i].rgbGreen = static_cast<BYTE>(c.g);
        pal[i].rgbBlue = static_cast<BYTE>(c.b);
        pal[i].rgbReserved = 0;
    }
}

// A paletted picture whose pixel (x, y) holds index(x, y).
template <typename IndexFn>
FIBITMAP* makePaletted(int w, int h, int bpp, bool grey, IndexFn index) {
    FIBITMAP* bmp = FreeImage_Allocate(w, h, bpp);
    setPalette(bmp, 1 << bpp, grey);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE i = static_cast<BYTE>(index(x, y));
            FreeImage_SetPixelIndex(bmp, x, h - 1 - y, &i);
        }
    return bmp;
}

inline void setTransparencyTable(FIBITMAP* bmp, int count) {
    std::vector<BYTE> table(count);
    for (int i = 0; i < count; ++i) table[i] = static_cast<BYTE>(transparencyOf(i));
    FreeImage_SetTransparencyTable(bmp, table.data(), count);
}

// 24- or 32-bit picture of colour(x, y).
template <typename ColourFn>
FIBITMAP* makeDirect(int w, int h, int bpp, ColourFn colour) {
    FIBITMAP* bmp = FreeImage_Allocate(w, h, bpp);
    const int step = bpp / 8;
    for (int y = 0; y < h; ++y) {
        BYTE* p = FreeImage_GetScanLine(bmp, h - 1 - y);
        for (int x = 0; x < w; ++x, p += step) {
            const Rgba c = colour(x, y);
            p[FI_RGBA_RED] = static_cast<BYTE>(c.r);
            p[FI_RGBA_GREEN] = static_cast<BYTE>(c.g);
            p[FI_RGBA_BLUE] = static_cast<BYTE>(c.b);
            if (step == 4) p[FI_RGBA_ALPHA] = static_cast<BYTE>(c.a);
        }
    }
    return bmp;
}

// 16 bits a channel: the high byte is the pattern, the low byte noise that
// an 8-bit conversion must drop.
inline FIBITMAP* makeWide(int w, int h, FREE_IMAGE_TYPE type) {
    const int channels = type == FIT_UINT16 ? 1 : type == FIT_RGB16 ? 3 : 4;
    FIBITMAP* bmp = FreeImage_AllocateT(type, w, h);
    for (int y = 0; y < h; ++y) {
        uint16_t* p = reinterpret_cast<uint16_t*>(FreeImage_GetScanLine(bmp, h - 1 - y));
        for (int x = 0; x < w; ++x, p += channels) {
            const Rgba c = rgbAt(x, y);
            const int values[4] = {channels == 1 ? greyAt(x, y) : c.r, c.g, c.b, alphaAt(x, y)};
            for (int k = 0; k < channels; ++k) p[k] = static_cast<uint16_t>(values[k] << 8 | 0xA7);
        }
    }
    return bmp;
}

// Writes and frees `bmp`; false when FreeImage refused.
inline bool saveAndFree(FIBITMAP* bmp, FREE_IMAGE_FORMAT fif, const std::string& path, int flags = 0) {
    useFreeImage();
    const bool ok = bmp && FreeImage_Save(fif, bmp, path.c_str(), flags);
    if (bmp) FreeImage_Unload(bmp);
    return ok;
}

}  // namespace imgtest
