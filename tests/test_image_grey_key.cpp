// Grey PNG pictures whose tRNS chunk names one transparent grey value. The
// fixtures are written here byte by byte (zlib and a small chunk writer), so
// every bit depth, gamma chunk and interlacing can be had exactly.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "framework/ofImage.h"
#include "framework/ofImageGreyKey.h"
#include "tests/image_fixtures.h"

using namespace imgtest;

namespace {

struct GreyPng {
    int w = 11, h = 7;  // odd sizes: partial bytes at small depths, uneven interlace passes
    int depth = 8;
    std::vector<unsigned> samples;  // row-major, w x h
    bool keyed = true;
    unsigned key = 0;  // written as is, unmasked
    uint32_t gamma = 0;  // gAMA value (100000 = 1.0); 0 writes no chunk
    bool interlaced = false;
};

void put32(std::string& s, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
}

std::string chunk(const char* type, const std::string& data) {
    std::string s;
    put32(s, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    s += body;
    put32(s, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
    return s;
}

// One filtered scanline (filter 0) of the given samples.
std::string scanline(const std::vector<unsigned>& row, int depth) {
    std::string s(1, '\0');
    if (depth == 16) {
        for (unsigned v : row) {
            s += static_cast<char>(v >> 8);
            s += static_cast<char>(v & 0xFF);
        }
        return s;
    }
    const int perByte = 8 / depth;
    for (size_t i = 0; i < row.size(); i += perByte) {
        unsigned byte = 0;
        for (int j = 0; j < perByte; ++j) {
            const unsigned v = i + j < row.size() ? row[i + j] : 0;
            byte |= v << (8 - depth * (j + 1));
        }
        s += static_cast<char>(byte);
    }
    return s;
}

std::string encode(const GreyPng& p) {
    std::string raw;
    // Adam7: (first column, first row, column step, row step) of each pass.
    static const int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                      {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const int passes = p.interlaced ? 7 : 1;
    for (int k = 0; k < passes; ++k) {
        const int* q = p.interlaced ? kPasses[k] : nullptr;
        const int x0 = q ? q[0] : 0, y0 = q ? q[1] : 0, dx = q ? q[2] : 1, dy = q ? q[3] : 1;
        if (x0 >= p.w || y0 >= p.h) continue;
        for (int y = y0; y < p.h; y += dy) {
            std::vector<unsigned> row;
            for (int x = x0; x < p.w; x += dx) row.push_back(p.samples[static_cast<size_t>(y) * p.w + x]);
            raw += scanline(row, p.depth);
        }
    }
    uLongf size = compressBound(raw.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(size);

    std::string ihdr;
    put32(ihdr, static_cast<uint32_t>(p.w));
    put32(ihdr, static_cast<uint32_t>(p.h));
    ihdr += static_cast<char>(p.depth);
    ihdr += std::string("\0\0\0", 3);  // grey, deflate, filter 0
    ihdr += static_cast<char>(p.interlaced ? 1 : 0);

    std::string file("\x89PNG\r\n\x1a\n", 8);
    file += chunk("IHDR", ihdr);
    if (p.gamma) {
        std::string g;
        put32(g, p.gamma);
        file += chunk("gAMA", g);
    }
    if (p.keyed) file += chunk("tRNS", std::string{static_cast<char>(p.key >> 8), static_cast<char>(p.key & 0xFF)});
    file += chunk("IDAT", packed);
    file += chunk("IEND", "");
    return file;
}

// Samples in which the key stands beside values that a widened, gamma-
// corrected or byte-swapped comparison would mistake for it.
GreyPng pattern(int depth, int w = 11, int h = 7) {
    GreyPng p;
    p.w = w;
    p.h = h;
    p.depth = depth;
    std::vector<unsigned> levels;
    if (depth == 16) {
        levels = {0x1234, 0x3412, 0x1235, 0x0034, 0x1200, 0xFFFF, 0, 0x1234};
        p.key = 0x1234;
    } else {
        const unsigned top = (1u << depth) - 1;
        for (unsigned v = 0; v <= top && levels.size() < 9; ++v) levels.push_back(depth == 8 ? v * 29 : v);
        p.key = levels[levels.size() / 2];
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.samples.push_back(levels[(x * 5 + y * 3) % levels.size()]);
    return p;
}

// Loads `bytes` through ofImage from a file named `name`.
bool loadBytes(const TempDir& tmp, const std::string& name, const std::string& bytes, ofImage& img) {
    const std::string path = tmp.path(name);
    img.setUseTexture(false);
    return writeBytes(path, bytes) && img.loadImage(path);
}

unsigned expectedAlpha(const GreyPng& p, int x, int y, unsigned key) {
    return p.samples[static_cast<size_t>(y) * p.w + x] == key ? 0 : 255;
}

// The greys FreeImage itself decodes from `path` (widened to 8 bits and
// gamma-corrected by its own rules), top-down: what the picture loaded as
// before its transparency was mended.
std::vector<int> freeImageGreys(const std::string& path) {
    useFreeImage();
    std::vector<int> out;
    FIBITMAP* b = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (!b) return out;
    const int w = static_cast<int>(FreeImage_GetWidth(b)), h = static_cast<int>(FreeImage_GetHeight(b));
    const bool wide = FreeImage_GetImageType(b) == FIT_RGBA16;
    const RGBQUAD* pal = FreeImage_GetPalette(b);
    if (wide || (FreeImage_GetBPP(b) == 8 && pal)) {
        for (int y = h - 1; y >= 0; --y) {
            const BYTE* row = FreeImage_GetScanLine(b, y);
            for (int x = 0; x < w; ++x)
                out.push_back(wide ? reinterpret_cast<const FIRGBA16*>(row)[x].red >> 8 : pal[row[x]].rgbRed);
        }
    }
    FreeImage_Unload(b);
    return out;
}

// Every pixel's alpha is 0 exactly where the stored sample is the key, and
// R = G = B = the grey FreeImage decodes.
void expectKeyed(const GreyPng& p, unsigned key) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    ofImage img;
    ASSERT_TRUE(loadBytes(tmp, "keyed.png", encode(p), img));
    const std::vector<int> greys = freeImageGreys(tmp.path("keyed.png"));
    ASSERT_EQ(greys.size(), p.samples.size()) << "FreeImage decoded the fixture unexpectedly";

    ASSERT_EQ(img.imageType, OF_IMAGE_COLOR_ALPHA);
    ASSERT_EQ(img.width, p.w);
    ASSERT_EQ(img.height, p.h);
    int transparent = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const size_t i = static_cast<size_t>(y) * p.w + x;
            const unsigned char* px = img.getPixels() + i * 4;
            ASSERT_EQ(px[3], expectedAlpha(p, x, y, key)) << "alpha of (" << x << ", " << y << ")";
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(px[c], greys[i]) << "channel " << c << " of (" << x << ", " << y << ")";
            transparent += px[3] == 0;
        }
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, p.w * p.h);
}

using KeyParam = std::tuple<int, uint32_t, bool>;  // depth, gAMA, interlaced

class GreyKeyLoad : public ::testing::TestWithParam<KeyParam> {};

std::string keyParamName(const ::testing::TestParamInfo<KeyParam>& info) {
    const uint32_t gamma = std::get<1>(info.param);
    return "depth" + std::to_string(std::get<0>(info.param)) +
           (gamma == 0 ? "_noGamma" : "_gamma" + std::to_string(gamma)) +
           (std::get<2>(info.param) ? "_interlaced" : "");
}

}  // namespace

TEST_P(GreyKeyLoad, KeyedPixelsAreTransparentAndGreysUnchanged) {
    GreyPng p = pattern(std::get<0>(GetParam()));
    p.gamma = std::get<1>(GetParam());
    p.interlaced = std::get<2>(GetParam());
    expectKeyed(p, p.key);
}

// gAMA 45455 is the screen's own gamma (no change); 100000 brightens.
INSTANTIATE_TEST_SUITE_P(Depths, GreyKeyLoad,
                         ::testing::Combine(::testing::Values(1, 2, 4, 8, 16), ::testing::Values(0u, 45455u, 100000u),
                                            ::testing::Bool()),
                         keyParamName);

TEST(GreyKeyLoad, WidenedGreysWithoutGammaAreExact) {
    // The stored levels stretched to 8 bits; 16 bits keep the high byte.
    for (int depth : {1, 2, 4, 8, 16}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const GreyPng p = pattern(depth);
        TempDir tmp;
        ofImage img;
        ASSERT_TRUE(loadBytes(tmp, "g.png", encode(p), img));
        ASSERT_EQ(img.imageType, OF_IMAGE_COLOR_ALPHA);
        for (size_t i = 0; i < p.samples.size(); ++i) {
            const unsigned s = p.samples[i];
            const unsigned want = depth == 16 ? s >> 8 : s * 255 / ((1u << depth) - 1);
            ASSERT_EQ(img.getPixels()[i * 4], want) << "pixel " << i;
        }
    }
}

TEST(GreyKeyLoad, InterlacedSizesWithEmptyPasses) {
    // Pictures this small leave some of the seven passes without a pixel.
    const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 5}, {8, 8}, {17, 3}};
    for (int depth : {1, 16})
        for (const auto& s : sizes) {
            SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]) + " depth " + std::to_string(depth));
            GreyPng p = pattern(depth, s[0], s[1]);
            p.interlaced = true;
            p.key = p.samples.back();  // present even in a 1 x 1 picture
            TempDir tmp;
            ofImage img;
            ASSERT_TRUE(loadBytes(tmp, "i.png", encode(p), img));
            ASSERT_EQ(img.imageType, OF_IMAGE_COLOR_ALPHA);
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x)
                    ASSERT_EQ(img.getPixels()[(static_cast<size_t>(y) * p.w + x) * 4 + 3], expectedAlpha(p, x, y, p.key))
                        << "(" << x << ", " << y << ")";
        }
}

TEST(GreyKeyLoad, KeyBitsAboveTheDepthAreIgnored) {
    // The format asks decoders to mask the key to the bit depth.
    for (int depth : {1, 2, 4, 8}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        GreyPng p = pattern(depth);
        const unsigned key = p.key;
        p.key = key | (0xA5F0u & ~((1u << depth) - 1));
        ASSERT_NE(p.key, key);
        expectKeyed(p, key);
    }
}

TEST(GreyKeyLoad, AKeyNoSampleHasLeavesEveryPixelOpaque) {
    GreyPng p = pattern(4);
    p.key = 15;  // the pattern uses levels 0 to 8
    TempDir tmp;
    ofImage img;
    ASSERT_TRUE(loadBytes(tmp, "k.png", encode(p), img));
    ASSERT_EQ(img.imageType, OF_IMAGE_COLOR_ALPHA);
    for (size_t i = 0; i < p.samples.size(); ++i) ASSERT_EQ(img.getPixels()[i * 4 + 3], 255) << "pixel " << i;
}

namespace {

// Reaches the step that joins FreeImage's colours with the file's alpha.
class KeyedImage : public ofImage {
public:
    using ofImage::putKeyedGreyIntoPixels;
};

}  // namespace

TEST(GreyKeyLoad, UnreadableSamplesLeaveThePixelsAsTheyWere) {
    // FreeImage has decoded the picture, but the samples cannot be read
    // again: the file was cut short (after a few rows) or is another picture.
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string whole = encode(pattern(16));
    ASSERT_TRUE(writeBytes(tmp.path("whole.png"), whole));
    ASSERT_TRUE(writeBytes(tmp.path("cut.png"), whole.substr(0, whole.size() - 12 - 4 - 20)));
    ASSERT_TRUE(writeBytes(tmp.path("other.png"), encode(pattern(16, 5, 5))));
    useFreeImage();
    FIBITMAP* decoded = FreeImage_Load(FIF_PNG, tmp.path("whole.png").c_str(), 0);
    ASSERT_NE(decoded, nullptr);
    for (const char* name : {"cut.png", "other.png", "missing.png"}) {
        SCOPED_TRACE(name);
        KeyedImage img;
        img.setUseTexture(false);
        const unsigned char before[2 * 2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        img.setFromPixels(before, 2, 2, OF_IMAGE_COLOR_ALPHA);
        EXPECT_FALSE(img.putKeyedGreyIntoPixels(decoded, tmp.path(name), img.pixelBuffer));
        EXPECT_EQ(img.pixelBuffer.width, 2);
        EXPECT_EQ(img.pixelBuffer.imageType, OF_IMAGE_COLOR_ALPHA);
        EXPECT_TRUE(std::equal(before, before + sizeof before, img.pixelBuffer.data));
    }
    KeyedImage img;
    img.setUseTexture(false);
    EXPECT_TRUE(img.putKeyedGreyIntoPixels(decoded, tmp.path("whole.png"), img.pixelBuffer));
    FreeImage_Unload(decoded);
}

// --- The plain functions -----------------------------------------------------

TEST(GreyKey, FindsTheKeyOfKeyedGreyPngsOnly) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    GreyPng p = pattern(4);
    p.interlaced = true;
    p.key = 0x0107;
    ASSERT_TRUE(writeBytes(tmp.path("keyed.png"), encode(p)));
    greykey::Key key;
    ASSERT_TRUE(greykey::findKey(tmp.path("keyed.png"), key));
    EXPECT_EQ(key.width, 11);
    EXPECT_EQ(key.height, 7);
    EXPECT_EQ(key.bitDepth, 4);
    EXPECT_TRUE(key.interlaced);
    EXPECT_EQ(key.value, 7u);

    p.keyed = false;
    ASSERT_TRUE(writeBytes(tmp.path("plain.png"), encode(p)));
    useFreeImage();
    ASSERT_TRUE(saveAndFree(makeDirect(3, 3, 24, rgbAt), FIF_PNG, tmp.path("rgb.png")));
    ASSERT_TRUE(saveAndFree(makePaletted(3, 3, 8, true, greyAt), FIF_JPEG, tmp.path("grey.jpg")));
    for (const char* name : {"plain.png", "rgb.png", "grey.jpg", "missing.png"}) {
        greykey::Key none;
        EXPECT_FALSE(greykey::findKey(tmp.path(name), none)) << name;
    }
}

TEST(GreyKey, AlphaOnlyForTheRightSizeAndColoursLeftAlone) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const GreyPng p = pattern(8);
    ASSERT_TRUE(writeBytes(tmp.path("g.png"), encode(p)));

    std::vector<unsigned char> rgba(static_cast<size_t>(p.w) * p.h * 4, 77);
    std::string why;
    EXPECT_FALSE(greykey::applyKeyAlpha(tmp.path("g.png"), rgba.data(), p.w + 1, p.h, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(greykey::applyKeyAlpha(tmp.path("g.png"), rgba.data(), p.w, p.h - 1));
    EXPECT_FALSE(greykey::applyKeyAlpha(tmp.path("g.png"), nullptr, p.w, p.h));

    ASSERT_TRUE(greykey::applyKeyAlpha(tmp.path("g.png"), rgba.data(), p.w, p.h, &why)) << why;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const unsigned char* px = &rgba[(static_cast<size_t>(y) * p.w + x) * 4];
            ASSERT_EQ(px[0], 77);
            ASSERT_EQ(px[1], 77);
            ASSERT_EQ(px[2], 77);
            ASSERT_EQ(px[3], expectedAlpha(p, x, y, p.key));
        }
}
