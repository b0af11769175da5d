#pragma once
// The fuzz targets over pictures and the artwork: they need the program's
// image loading, not only the plain parsers of targets.h.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "core/artwork.h"
#include "framework/ofImage.h"
#include "framework/ofImageGreyKey.h"
#include "tests/fuzz/targets.h"

namespace fuzz {

// The artwork comment ("bRGB r g b"). A colour it gives is a real colour and
// survives being written and read again; anything else changes nothing.
inline int artworkMetadata(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const palette::Rgb start{-7, 300, 12345};
    palette::Rgb bg = start;
    if (!artwork::parseArtworkMetadata(text, bg)) {
        FUZZ_CHECK(bg.r == start.r && bg.g == start.g && bg.b == start.b);
        return 0;
    }
    FUZZ_CHECK(text.find("bRGB") != std::string::npos);
    for (int c : {bg.r, bg.g, bg.b}) FUZZ_CHECK(c >= 0 && c <= 255);
    palette::Rgb again{0, 0, 0};
    FUZZ_CHECK(artwork::parseArtworkMetadata(artwork::formatArtworkMetadata(bg), again));
    FUZZ_CHECK(again.r == bg.r && again.g == bg.g && again.b == bg.b);
    return 0;
}

// Picture loading goes through a file, as the program's does. The first
// byte picks the file's extension (FreeImage falls back to it when the
// contents name no format); the rest is the file.
class ImageFile {
public:
    static ImageFile& instance() {
        static ImageFile file;
        return file;
    }
    const char* dir() const { return folder.c_str(); }
    ~ImageFile() {
        for (const char* ext : kExtensions) ::unlink((folder + "/input" + ext).c_str());
        ::rmdir(folder.c_str());
    }

    static constexpr const char* kExtensions[] = {"",     ".png", ".jpg", ".tga", ".bmp", ".tif", ".gif",
                                                  ".psd", ".pcx", ".ico", ".ppm", ".xpm", ".hdr", ".dds"};
    static constexpr size_t kCount = sizeof kExtensions / sizeof kExtensions[0];

private:
    ImageFile() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/wyrle-fuzz-image-XXXXXX";
        if (!::mkdtemp(&pattern[0])) fail("imageLoad", "cannot make a temp folder");
        folder = pattern;
    }
    std::string folder;
};

inline void initImageLoad() {
    // The loader's error lines go to stdout and libFuzzer's to stderr, both
    // into one log: a block-buffered stdout would flush mid-line, into the
    // middle of libFuzzer's lines. One line per write keeps both whole.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ImageFile::instance();
    ofImage warmUp;  // starts FreeImage before the first input
}

inline int imageLoad(const uint8_t* data, size_t size) {
    const char* ext = ImageFile::kExtensions[size ? data[0] % ImageFile::kCount : 0];
    const std::string path = std::string(ImageFile::instance().dir()) + "/input" + ext;
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) fail("imageLoad", "cannot write the temp file");
        const size_t body = size ? size - 1 : 0;
        if (body && std::fwrite(data + 1, 1, body, f) != body) fail("imageLoad", "short write to the temp file");
        std::fclose(f);
    }

    // A failed load leaves the image as it was.
    ofImage img;
    img.setUseTexture(false);
    const unsigned char before[3 * 2 * 2] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    img.setFromPixels(before, 2, 2, OF_IMAGE_COLOR);
    const bool ok = img.loadImage(path);
    greykey::Key key;
    const bool keyedGrey = ok && greykey::findKey(path, key);
    ::unlink(path.c_str());
    if (!ok) {
        FUZZ_CHECK(img.width == 2 && img.height == 2 && img.imageType == OF_IMAGE_COLOR);
        FUZZ_CHECK(std::equal(before, before + sizeof before, img.getPixels()));
        return 0;
    }

    FUZZ_CHECK(img.width > 0 && img.height > 0);
    FUZZ_CHECK(static_cast<size_t>(img.width) * static_cast<size_t>(img.height) <= OF_MAX_IMAGE_PIXELS);
    FUZZ_CHECK(img.imageType >= OF_IMAGE_GRAYSCALE && img.imageType <= OF_IMAGE_COLOR_ALPHA);
    FUZZ_CHECK(img.bitDepth == 8 * (img.imageType == OF_IMAGE_GRAYSCALE ? 1 : img.imageType == OF_IMAGE_COLOR ? 3 : 4));
    FUZZ_CHECK(img.pixelBuffer.allocated && img.getPixels());
    // Every byte is there to read (ASan checks the extent).
    const size_t bytes = static_cast<size_t>(img.width) * img.height * (img.bitDepth / 8);
    unsigned sum = 0;
    const unsigned char* p = img.getPixels();
    for (size_t i = 0; i < bytes; i += 61) sum += p[i];
    sum += p[bytes - 1];
    volatile unsigned sink = sum;
    (void)sink;

    // A grey picture with a transparent grey value: grey pixels, each either
    // transparent or opaque.
    if (keyedGrey) {
        FUZZ_CHECK(img.imageType == OF_IMAGE_COLOR_ALPHA);
        FUZZ_CHECK(img.width == key.width && img.height == key.height);
        for (size_t i = 0; i < bytes; i += 4) {
            FUZZ_CHECK(p[i] == p[i + 1] && p[i] == p[i + 2]);
            FUZZ_CHECK(p[i + 3] == 0 || p[i + 3] == 255);
        }
    }
    return 0;
}

}  // namespace fuzz
