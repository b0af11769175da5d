#pragma once
// Picture fixtures for the image and texture tests, made at run time with
// FreeImage itself (in the scratch folders of the service tests).

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/ofImage.h"
#include "tests/services_fixture.h"

namespace imgtest {

// FreeImage's plugins must be up before a fixture is written; an image
// construction starts them (again, after ofCloseFreeImage).
inline void useFreeImage() { ofImage starter; }

using svctest::TempDir;
using svctest::listDir;

inline std::string readBytes(const std::string& path) { return svctest::readFile(path); }
inline bool writeBytes(const std::string& path, const std::string& bytes) { return svctest::writeFile(path, bytes); }

// What `body` prints on standard output (where ofLog writes).
template <typename Body>
std::string stdoutOf(Body body) {
    testing::internal::CaptureStdout();
    body();
    return testing::internal::GetCapturedStdout();
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
