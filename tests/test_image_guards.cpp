// The checks made before FreeImage decodes a TGA, PNM, PNG, GIF, WebP,
// Photoshop, BMP, PCX or Sun Raster file: sound files load with their
// pixels, files that cannot hold what their header or chunks claim, or that
// the reader cannot handle, fail cleanly and say why.

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/ofImage.h"
#include "framework/ofImageGuards.h"
#include "tests/image_fixtures.h"

using namespace imgtest;

namespace {

using Bytes = std::vector<int>;

struct Header {
    int type = 2;
    int w = 0, h = 0, depth = 24;
    int idLength = 0;
    int mapType = 0, mapLength = 0, mapBits = 0;
};

void put16(std::string& s, int v) {
    s += static_cast<char>(v & 255);
    s += static_cast<char>((v >> 8) & 255);
}

// Rows stored top first (descriptor bit 5), so the file order is the order
// the pixels load in.
std::string tga(const Header& hd, const Bytes& rest) {
    std::string s;
    s += static_cast<char>(hd.idLength);
    s += static_cast<char>(hd.mapType);
    s += static_cast<char>(hd.type);
    put16(s, 0);
    put16(s, hd.mapLength);
    s += static_cast<char>(hd.mapBits);
    put16(s, 0);
    put16(s, 0);
    put16(s, hd.w);
    put16(s, hd.h);
    s += static_cast<char>(hd.depth);
    s += static_cast<char>(0x20);
    for (int b : rest) s += static_cast<char>(b);
    return s;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes repeat(const Bytes& b, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out = out + b;
    return out;
}
Bytes zeros(int n) { return Bytes(static_cast<size_t>(n), 0); }

Bytes text(const char* s) { return Bytes(s, s + std::char_traits<char>::length(s) + 1); }  // with its zero

// No extension area, no developer area.
const Bytes kFooter = zeros(8) + text("TRUEVISION-XFILE.");

struct GuardCase {
    const char* name;
    std::string file;
    int channels;     // what a sound file loads as; 0: the load fails
    Bytes pixels;     // top-down, RGB(A) or grey
    const char* why;  // in the error line of a refused file
};

// A 128-pixel run of one colour, in `bpp` bytes.
Bytes run128(int bpp) { return Bytes{0xFF} + repeat({0x40}, bpp); }

std::vector<GuardCase> guardCases() {
    const Bytes bgr3 = {10, 20, 30, 40, 50, 60, 70, 80, 90};  // three BGR pixels
    const Bytes rgb3 = {30, 20, 10, 60, 50, 40, 90, 80, 70};
    return {
        {"uncompressed_24", tga({2, 3, 2, 24}, bgr3 + bgr3), 3, rgb3 + rgb3, nullptr},
        {"uncompressed_32", tga({2, 2, 1, 32}, {1, 2, 3, 4, 5, 6, 7, 8}), 4, {3, 2, 1, 4, 7, 6, 5, 8}, nullptr},
        {"uncompressed_grey", tga({3, 2, 2, 8}, {9, 99, 199, 255}), 1, {9, 99, 199, 255}, nullptr},
        {"uncompressed_with_footer", tga({2, 3, 1, 24}, bgr3 + kFooter), 3, rgb3, nullptr},
        // An id field and a three-colour map before 8-bit indices.
        {"colour_mapped", tga({1, 3, 1, 8, 4, 1, 3, 24}, Bytes{'w', 'y', 'r', 'l'} + bgr3 + Bytes{2, 0, 1}), 3,
         {90, 80, 70, 30, 20, 10, 60, 50, 40}, nullptr},
        // A run of three, then three raw pixels.
        {"rle_24", tga({10, 3, 2, 24}, Bytes{0x82, 1, 2, 3, 0x02} + bgr3), 3, Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1} + rgb3,
         nullptr},
        {"rle_32", tga({10, 2, 2, 32}, {0x81, 1, 2, 3, 4, 0x81, 5, 6, 7, 8}), 4,
         repeat({3, 2, 1, 4}, 2) + repeat({7, 6, 5, 8}, 2), nullptr},
        {"rle_grey", tga({11, 4, 1, 8}, {0x01, 7, 8, 0x81, 200}), 1, {7, 8, 200, 200}, nullptr},
        // Packets may run on into the next row.
        {"rle_run_across_rows", tga({10, 3, 2, 24}, Bytes{0x85, 1, 2, 3} + kFooter), 3, repeat({3, 2, 1}, 6), nullptr},
        {"rle_200_wide", tga({10, 200, 1, 24}, Bytes{0xFF, 1, 2, 3, 0xC7, 4, 5, 6}), 3,
         repeat({3, 2, 1}, 128) + repeat({6, 5, 4}, 72), nullptr},

        {"shorter_than_a_header", std::string("\0\0\2\0\0\0\0\0\0\0", 10), 0, {}, "shorter than a TGA header"},
        {"uncompressed_one_byte_short", tga({2, 3, 2, 24}, bgr3 + Bytes{1, 2, 3, 4, 5, 6, 7, 8}), 0, {},
         "3 x 2 pixels need 18 bytes, the file holds 17"},
        {"grey_half_missing", tga({3, 4, 4, 8}, zeros(8)), 0, {}, "need 16 bytes, the file holds 8"},
        // 300 pixels take three packets at least.
        {"rle_packets_missing", tga({10, 300, 1, 24}, Bytes{0xFF, 1, 2, 3, 0xFF, 1, 2, 3}), 0, {},
         "at least 12 bytes of RLE data, the file holds 8"},
        // One run covers the 1 x 128 column but leaves FreeImage a read
        // buffer too small for a colour.
        {"rle_less_than_a_packet_a_row", tga({10, 1, 128, 24}, run128(3) + zeros(2 * 128 - 4)), 0, {},
         "at least 512 bytes of RLE data, the file holds 256"},
        // Big enough, but the packets do not add up to the picture.
        {"rle_run_past_the_last_pixel", tga({10, 3, 1, 24}, {0x83, 1, 2, 3}), 0, {},
         "an RLE packet runs past the last pixel"},
        {"rle_raw_past_the_last_pixel", tga({11, 2, 2, 8}, Bytes{0x04} + zeros(5) + kFooter), 0, {},
         "an RLE packet runs past the last pixel"},
        {"rle_data_ends_early", tga({10, 4, 2, 24}, {0x83, 1, 2, 3, 0x03, 1, 2, 3}), 0, {},
         "the RLE data ends after 4 of 8 pixels"},
        {"huge_rle_claim", tga({10, 12084, 12074, 32}, Bytes{0x88, 1, 2, 3, 4, 5, 6, 7, 8}), 0, {},
         "12084 x 12074 pixels need at least"},
        {"huge_uncompressed_claim", tga({2, 65535, 65535, 32}, zeros(100)), 0, {},
         "65535 x 65535 pixels need 17179344900 bytes"},
        {"zero_width", tga({2, 0, 4, 24}, zeros(48)), 0, {}, "the picture is 0 x 4 pixels"},
        {"zero_height", tga({10, 4, 0, 24}, zeros(48)), 0, {}, "the picture is 4 x 0 pixels"},
        {"depth_0", tga({2, 2, 2, 0}, zeros(64)), 0, {}, "unsupported pixel depth 0"},
        {"depth_12", tga({2, 2, 2, 12}, zeros(64)), 0, {}, "unsupported pixel depth 12"},
        {"depth_48", tga({2, 2, 2, 48}, zeros(64)), 0, {}, "unsupported pixel depth 48"},
        {"no_image_data_type", tga({0, 2, 2, 24}, zeros(64)), 0, {}, "unknown image type 0"},
        {"type_4", tga({4, 2, 2, 24}, zeros(64)), 0, {}, "unknown image type 4"},
        {"type_32", tga({32, 2, 2, 24}, zeros(64)), 0, {}, "unknown image type 32"},
        {"colour_map_type_2", tga({1, 2, 2, 8, 0, 2, 4, 24}, zeros(64)), 0, {}, "unknown colour map type 2"},
        {"colour_map_past_the_end", tga({1, 2, 2, 8, 0, 1, 200, 24}, zeros(64)), 0, {},
         "colour map runs past the end"},
        {"colour_map_on_true_colour", tga({2, 1, 1, 24, 0, 1, 2, 24}, zeros(9)), 0, {},
         "a colour map on a picture without colour indices"},
        {"id_past_the_end", tga({2, 1, 1, 24, 200}, zeros(64)), 0, {}, "image id runs past the end"},
    };
}

// Loads `path` into `img` over a 1 x 1 picture and returns the error lines.
const unsigned char kBefore[3] = {11, 22, 33};
std::string loadOverOnePixel(ofImage& img, const std::string& path, bool& ok) {
    img.setUseTexture(false);
    img.setFromPixels(kBefore, 1, 1, OF_IMAGE_COLOR);
    return stdoutOf([&] { ok = img.loadImage(path); });
}

// A refused load names `why` and leaves the picture as it was.
void expectRefused(ofImage& img, bool ok, const std::string& log, const std::string& why) {
    EXPECT_FALSE(ok);
    EXPECT_NE(log.find(why), std::string::npos) << log;
    ASSERT_EQ(img.width, 1);
    ASSERT_EQ(img.height, 1);
    EXPECT_EQ(img.imageType, OF_IMAGE_COLOR);
    EXPECT_EQ(Bytes(img.getPixels(), img.getPixels() + 3), Bytes(kBefore, kBefore + 3));
}

// A table of files, each either loading as w x h (with `first` as its
// first pixel, when given) or refused with `why` in its error line.
struct LoadCase {
    const char* name;
    std::string file;
    int w, h;
    Bytes first;
    const char* why;  // empty: loads
};

void expectLoadsOrRefused(const std::vector<LoadCase>& cases, const char* extension) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path(std::string(c.name) + extension);
        ASSERT_TRUE(writeBytes(path, c.file));
        ofImage img;
        bool ok = false;
        const std::string log = loadOverOnePixel(img, path, ok);
        if (*c.why) {
            expectRefused(img, ok, log, c.why);
            continue;
        }
        ASSERT_TRUE(ok) << log;
        EXPECT_EQ(img.width, c.w);
        EXPECT_EQ(img.height, c.h);
        if (!c.first.empty()) {
            EXPECT_EQ(Bytes(img.getPixels(), img.getPixels() + 3), c.first);
        }
    }
}

class TgaGuard : public ::testing::TestWithParam<GuardCase> {};

}  // namespace

TEST_P(TgaGuard, SoundFilesLoadDamagedOnesFailCleanly) {
    const GuardCase& c = GetParam();
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.path("picture.tga");
    ASSERT_TRUE(writeBytes(path, c.file));

    ofImage img;
    bool ok = false;
    const std::string log = loadOverOnePixel(img, path, ok);

    if (!c.channels) {
        EXPECT_NE(log.find("cannot load " + path + ": "), std::string::npos) << log;
        expectRefused(img, ok, log, c.why);
        return;
    }
    ASSERT_TRUE(ok) << log;
    EXPECT_EQ(log, "");
    ASSERT_EQ(img.bitDepth, 8 * c.channels);
    const size_t bytes = static_cast<size_t>(img.width) * img.height * c.channels;
    ASSERT_EQ(bytes, c.pixels.size());
    EXPECT_EQ(Bytes(img.getPixels(), img.getPixels() + bytes), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Files, TgaGuard, ::testing::ValuesIn(guardCases()),
                         [](const ::testing::TestParamInfo<GuardCase>& info) { return std::string(info.param.name); });

// Every size is weighed in 64 bits, exactly, up to the largest claims a
// header can make.
TEST(TgaGuard, ClaimsAreWeighedExactlyAtTheLimits) {
    struct Limit {
        Header header;
        uint64_t fileSize;  // the smallest that holds the picture
    };
    const uint64_t most = UINT64_C(65535) * 65535;
    const Limit limits[] = {
        {{2, 65535, 65535, 32}, 18 + most * 4},
        {{10, 65535, 65535, 32}, 18 + (most + 127) / 128 * 5},
        {{9, 1, 65535, 8, 0, 1, 256, 24}, 18 + 256 * 3 + 65535 * 2},  // one packet a row
        {{1, 1, 1, 8, 255, 1, 65535, 32}, 18 + 255 + UINT64_C(65535) * 4 + 1},
    };
    for (const Limit& l : limits) {
        const std::string header = tga(l.header, {});
        const auto* bytes = reinterpret_cast<const unsigned char*>(header.data());
        EXPECT_EQ(imageguard::tgaProblem(bytes, l.fileSize), "") << l.fileSize;
        EXPECT_NE(imageguard::tgaProblem(bytes, l.fileSize - 1), "") << l.fileSize;
    }
}

namespace {

struct WrittenCase {
    const char* name;
    int w, h, bpp;
    int flags;
    bool flat;
};

Rgba pattern(int x, int y) {
    return {(x * 37 + y * 11) & 255, (x * 5 + y * 71 + 9) & 255, (x * y + 3) & 255, (x * 13 + y * 29 + 1) & 255};
}
Rgba flatColour(int, int) { return {200, 120, 40, 90}; }

class FreeImageTga : public ::testing::TestWithParam<WrittenCase> {};

}  // namespace

// TGAs that FreeImage itself writes pass the check and load with every
// pixel: varied pictures (raw packets), flat ones (long runs) and a flat
// one-pixel column (one short packet a row).
TEST_P(FreeImageTga, LoadsWithItsPixels) {
    const WrittenCase& c = GetParam();
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.path("written.tga");
    const auto colour = c.flat ? flatColour : pattern;
    ASSERT_TRUE(saveAndFree(makeDirect(c.w, c.h, c.bpp, colour), FIF_TARGA, path, c.flags));
    const int channels = c.bpp / 8;
    // The runs really are there (a column takes a packet a row, no smaller).
    if ((c.flags & TARGA_SAVE_RLE) && c.flat && c.w > 1) {
        EXPECT_LT(readBytes(path).size(), static_cast<size_t>(c.w) * c.h * channels);
    }

    ofImage img;
    img.setUseTexture(false);
    ASSERT_TRUE(img.loadImage(path));
    ASSERT_EQ(img.width, c.w);
    ASSERT_EQ(img.height, c.h);
    ASSERT_EQ(img.bitDepth, c.bpp);
    const unsigned char* p = img.getPixels();
    int wrong = 0;
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x, p += channels) {
            const Rgba e = colour(x, y);
            if (p[0] != e.r || p[1] != e.g || p[2] != e.b || (channels == 4 && p[3] != e.a)) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Written, FreeImageTga,
    ::testing::Values(WrittenCase{"uncompressed_24", 37, 23, 24, TARGA_DEFAULT, false},
                      WrittenCase{"uncompressed_32", 37, 23, 32, TARGA_DEFAULT, false},
                      WrittenCase{"rle_24", 37, 23, 24, TARGA_SAVE_RLE, false},
                      WrittenCase{"rle_32", 37, 23, 32, TARGA_SAVE_RLE, false},
                      WrittenCase{"rle_24_flat", 300, 40, 24, TARGA_SAVE_RLE, true},
                      WrittenCase{"rle_32_flat", 300, 40, 32, TARGA_SAVE_RLE, true},
                      WrittenCase{"rle_24_flat_column", 1, 300, 24, TARGA_SAVE_RLE, true},
                      WrittenCase{"rle_32_flat_column", 1, 300, 32, TARGA_SAVE_RLE, true}),
    [](const ::testing::TestParamInfo<WrittenCase>& info) { return std::string(info.param.name); });

// PNM files: sound ones load with their pixels; a header that is garbage, or
// that claims more than the file holds, is refused before FreeImage reads it.
TEST(PnmGuard, SoundFilesLoadDamagedOnesFailCleanly) {
    struct Case {
        const char* name;
        std::string file;
        int channels;  // 0: must fail with `why`
        Bytes pixels;
        const char* why;
    };
    const Case cases[] = {
        {"grey_raw", std::string("P5\n2 1\n255\n") + std::string("\x10\x20", 2), 1, Bytes{0x10, 0x20}, ""},
        {"colour_raw", std::string("P6 # c\n1 1 255\n") + std::string("\x01\x02\x03", 3), 3, Bytes{1, 2, 3}, ""},
        {"grey_text", "P2\n2 1\n255\n7 9\n", 1, Bytes{7, 9}, ""},
        {"bitmap_raw_short", "P4\n16 4\n\x01", 0, Bytes{}, "need at least 8 bytes"},
        {"grey_raw_short", "P5\n100 100\n255\nxyz", 0, Bytes{}, "need at least 10000 bytes"},
        {"garbage_size", "P4%%%%%%%%%%%%%%%%%%%%%%", 0, Bytes{}, "no size"},
        {"size_too_long", "P5\n1234567890 1\n255\n", 0, Bytes{}, "no size"},
        {"no_maxval", "P6\n1 1\n", 0, Bytes{}, "maximum value"},
        {"zero_size", "P5\n0 5\n255\n", 0, Bytes{}, "no pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_TRUE(dir.ok());
        const std::string path = dir.path("picture.pgm");
        ASSERT_TRUE(writeBytes(path, c.file));
        ofImage img;
        bool ok = false;
        const std::string log = loadOverOnePixel(img, path, ok);
        if (!c.channels) {
            expectRefused(img, ok, log, c.why);
            continue;
        }
        ASSERT_TRUE(ok) << log;
        ASSERT_EQ(img.bitDepth, 8 * c.channels);
        const size_t bytes = static_cast<size_t>(img.width) * img.height * c.channels;
        ASSERT_EQ(bytes, c.pixels.size());
        EXPECT_EQ(Bytes(img.getPixels(), img.getPixels() + bytes), c.pixels);
    }
}

// PNG files: a chunk claiming more than the file holds is refused before
// FreeImage allocates and reads what it claims; sound files, and bytes after
// IEND, load as before.
TEST(PngGuard, ChunksThatOverrunTheFileAreRefused) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string soundPath = dir.path("sound.png");
    {
        ofImage img;
        img.setUseTexture(false);
        const unsigned char px[6] = {10, 20, 30, 40, 50, 60};
        img.setFromPixels(px, 2, 1, OF_IMAGE_COLOR);
        img.saveImage(soundPath);
    }
    const std::string sound = readBytes(soundPath);
    const size_t iend = sound.rfind("IEND");
    ASSERT_NE(iend, std::string::npos);
    const size_t iendChunk = iend - 4;
    auto chunk = [](const std::string& type, uint32_t claimed, const std::string& data) {
        std::string s;
        for (int shift : {24, 16, 8, 0}) s += static_cast<char>((claimed >> shift) & 255);
        return s + type + data + std::string(4, '\0');
    };
    struct Case {
        const char* name;
        std::string file;
        const char* why;  // empty: loads
    };
    const Case cases[] = {
        {"sound", sound, ""},
        {"bytes_after_iend", sound + "trailing", ""},
        {"text_claims_637_MB",
         sound.substr(0, iendChunk) + chunk("tEXt", 637u << 20, "a\0b") + sound.substr(iendChunk),
         "claims 667942912 bytes"},
        {"length_over_the_format_limit",
         sound.substr(0, iendChunk) + chunk("tEXt", 0x80000000u, "") + sound.substr(iendChunk),
         "more bytes than the format allows"},
        {"cut_inside_a_chunk", sound.substr(0, iendChunk - 6), "bytes, the file holds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.path(std::string(c.name) + ".png");
        ASSERT_TRUE(writeBytes(path, c.file));
        EXPECT_EQ(imageguard::pngFileProblem(path).empty(), *c.why == '\0') << imageguard::pngFileProblem(path);
        ofImage img;
        img.setUseTexture(false);
        bool ok = false;
        const std::string log = stdoutOf([&] { ok = img.loadImage(path); });
        if (*c.why) {
            EXPECT_FALSE(ok);
            EXPECT_NE(log.find(c.why), std::string::npos) << log;
        } else {
            ASSERT_TRUE(ok) << log;
            EXPECT_EQ(img.width, 2);
            EXPECT_EQ(img.getPixels()[3], 40);
        }
    }
}

// GIF files: FreeImage allocates the first picture's claimed size before it
// decodes, and fills what the file lacks; a claim over the limit, or over
// what the file's bytes can decode to, is refused first, with or without
// extensions ahead of the picture and a global colour table.
namespace {

// A 2 x 1 GIF (black, white) with a graphic control extension; the picture
// descriptor's size can be replaced.
std::string gifFile(int w, int h, bool extension = true) {
    std::string s = "GIF89a";
    put16(s, 2);
    put16(s, 1);
    s += std::string("\x80\x00\x00", 3);                 // a global table of two colours
    s += std::string("\x00\x00\x00\xff\xff\xff", 6);
    if (extension) s += std::string("\x21\xf9\x04\x00\x00\x00\x00\x00", 8);
    s += std::string("\x2c\x00\x00\x00\x00", 5);
    put16(s, w);
    put16(s, h);
    s += std::string("\x00\x02\x02\x44\x0a\x00\x3b", 7);  // LZW: clear, 0, 1, end
    return s;
}

}  // namespace

TEST(GifGuard, ClaimsOverTheLimitOrTheFileAreRefusedBeforeDecoding) {
    struct Case {
        const char* name;
        std::string file;
        std::uint64_t limit;
        const char* why;  // empty: no problem
    };
    const Case cases[] = {
        {"sound", gifFile(2, 1), 2, ""},
        {"one_over", gifFile(3, 1), 2, "3 x 1 pixels are more than 2"},
        {"huge_after_extension", gifFile(41462, 64751), OF_MAX_IMAGE_PIXELS, "41462 x 64751 pixels"},
        {"huge_no_extension", gifFile(41462, 64751, false), OF_MAX_IMAGE_PIXELS, "41462 x 64751 pixels"},
        // 43 bytes hold at most 43 * 10922 pixels.
        {"what_the_file_can_hold", gifFile(700, 670), OF_MAX_IMAGE_PIXELS, ""},
        {"more_than_the_file_can_hold", gifFile(700, 671), OF_MAX_IMAGE_PIXELS,
         "700 x 671 pixels are more than a file of 43 bytes can hold"},
        {"no_picture", gifFile(2, 1).substr(0, 24), 2, ""},
        {"not_gif", "PNG not a GIF at all", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string problem = imageguard::gifProblem(c.file, c.limit);
        if (*c.why)
            EXPECT_NE(problem.find(c.why), std::string::npos) << problem;
        else
            EXPECT_EQ(problem, "");
    }

    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string sound = dir.path("sound.gif"), huge = dir.path("huge.gif");
    ASSERT_TRUE(writeBytes(sound, gifFile(2, 1)));
    ASSERT_TRUE(writeBytes(huge, gifFile(41462, 64751)));
    ofImage img;
    img.setUseTexture(false);
    bool ok = false;
    std::string log = stdoutOf([&] { ok = img.loadImage(sound); });
    ASSERT_TRUE(ok) << log;
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.height, 1);
    log = stdoutOf([&] { ok = img.loadImage(huge); });
    EXPECT_FALSE(ok);
    EXPECT_NE(log.find("41462 x 64751 pixels are more than"), std::string::npos) << log;
    EXPECT_EQ(img.width, 2);
}

// Sun Raster files: FreeImage's reader counts columns and rows in 16 bits,
// so a picture wider or taller than 65535 pixels is refused before it reads
// (it wrote past the picture, never ended, or loaded black), and so is a
// colour map on a 24-bit picture (it crashed the reader); pictures at the
// limit load as before.
namespace {

void put32be(std::string& s, std::uint64_t v) {
    for (int shift : {24, 16, 8, 0}) s += static_cast<char>((v >> shift) & 255);
}

// A standard (type 1) file: rows top first, each padded to an even length;
// 24-bit pixels are stored blue first, 32-bit ones with a pad byte ahead.
// An 8-bit one has a colour map: reds, then greens, then blues (255 of each:
// the reader refuses 256).
std::string ras(std::uint64_t w, std::uint64_t h, int depth, const std::string& rows, const std::string& map = "") {
    std::string s;
    for (std::uint64_t v : {std::uint64_t(0x59a66a95), w, h, std::uint64_t(depth), std::uint64_t(rows.size()),
                            std::uint64_t(1), std::uint64_t(map.empty() ? 0 : 1), std::uint64_t(map.size())})
        put32be(s, v);
    return s + map + rows;
}

std::string rasMap(char index, const Bytes& rgb) {
    std::string map(3 * 255, '\0');
    for (int c = 0; c < 3; ++c) map[255 * c + static_cast<unsigned char>(index)] = static_cast<char>(rgb[c]);
    return map;
}

std::string rasRows(std::uint64_t w, std::uint64_t h, int depth, char fill) {
    const std::uint64_t line = (w * depth + 15) / 16 * 2;
    return std::string(line * h, fill);
}

}  // namespace

TEST(RasGuard, PicturesTheReaderCannotHandleAreRefusedOthersLoad) {
    expectLoadsOrRefused(
            {
            {"sound_24",
             ras(3, 2, 24, std::string("\x30\x20\x10\x01\x02\x03\x04\x05\x06\0", 10) + std::string(10, '\x7f')), 3,
             2, Bytes{0x10, 0x20, 0x30}, ""},
            {"sound_32", ras(2, 1, 32, std::string("\0\x33\x22\x11\0\x01\x02\x03", 8)), 2, 1,
             Bytes{0x11, 0x22, 0x33}, ""},
            {"widest_24", ras(65535, 1, 24, rasRows(65535, 1, 24, '\x40')), 65535, 1, Bytes{0x40, 0x40, 0x40}, ""},
            {"tallest_32", ras(1, 65535, 32, rasRows(1, 65535, 32, '\x40')), 1, 65535, Bytes{0x40, 0x40, 0x40}, ""},
            {"widest_8_bit", ras(65535, 1, 8, rasRows(65535, 1, 8, '\x40'), rasMap('\x40', Bytes{1, 2, 3})), 65535, 1,
             Bytes{1, 2, 3}, ""},
            {"one_column_too_wide_24", ras(65536, 1, 24, rasRows(65536, 1, 24, '\x40')), 0, 0, Bytes{},
             "a picture of 65536 x 1 pixels is more than 65535 pixels wide or tall"},
            {"one_column_too_wide_8_bit",
             ras(65536, 1, 8, rasRows(65536, 1, 8, '\x40'), rasMap('\x40', Bytes{1, 2, 3})), 0, 0, Bytes{},
             "65536 x 1 pixels"},
            {"wide_32", ras(3801101, 9, 32, ""), 0, 0, Bytes{}, "3801101 x 9 pixels"},
            {"one_row_too_tall_32", ras(1, 65536, 32, rasRows(1, 65536, 32, '\x40')), 0, 0, Bytes{},
             "1 x 65536 pixels"},
            {"tall_24", ras(13, 131072, 24, ""), 0, 0, Bytes{}, "13 x 131072 pixels"},
            {"colour_map_on_24_bit", ras(3, 2, 24, rasRows(3, 2, 24, '\x40'), std::string(9, '\x10')), 0, 0, Bytes{},
             "a colour map on a picture without colour indices"},
            {"header_cut", ras(3, 2, 24, "").substr(0, 20), 0, 0, Bytes{}, "shorter than a Sun Raster header"},
            {"not_a_sun_raster", std::string(40, 'x'), 0, 0, Bytes{}, "no Sun Raster header"},
        },
        ".ras");
}

// WebP files: a lossy picture whose first partition is too short for its
// macroblocks is refused before the decoder works through the whole claimed
// size; sound lossy and lossless files load as before.
TEST(WebpGuard, ALossyPictureTooBigForItsModesIsRefused) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // What FreeImage writes: lossy (quality 1-100) and lossless.
    auto written = [&](const char* name, int w, int h, int flags) {
        FIBITMAP* bmp = FreeImage_Allocate(w, h, 24);
        for (int y = 0; y < h; ++y) std::memset(FreeImage_GetScanLine(bmp, y), 0x80, size_t(w) * 3);
        const std::string path = dir.path(name);
        const bool saved = FreeImage_Save(FIF_WEBP, bmp, path.c_str(), flags);
        FreeImage_Unload(bmp);
        return saved ? readBytes(path) : std::string();
    };
    const std::string lossy = written("lossy.webp", 300, 200, 75), flat = written("flat.webp", 4096, 1024, 1),
                      lossless = written("lossless.webp", 4096, 1024, WEBP_LOSSLESS);
    ASSERT_FALSE(lossy.empty() || flat.empty() || lossless.empty());
    ASSERT_EQ(lossy.compare(12, 4, "VP8 "), 0);
    ASSERT_EQ(lossless.compare(12, 4, "VP8L"), 0);
    // The same header claiming 16383 x 16383 pixels (a first partition of a
    // few bytes for a million macroblocks).
    std::string huge = lossy;
    huge.replace(26, 4, std::string("\xff\x3f\xff\x3f", 4));
    expectLoadsOrRefused(
        {
            {"lossy", lossy, 300, 200, Bytes{}, ""},
            {"flat_lossy", flat, 4096, 1024, Bytes{}, ""},
            {"lossless", lossless, 4096, 1024, Bytes{}, ""},
            {"claims_16383_square", huge, 0, 0, Bytes{},
             "16383 x 16383 pixels need at least 131072 bytes of modes, the file gives"},
        },
        ".webp");
}

// Photoshop files: an RLE picture whose rows hold more than a row, or whose
// row lengths claim more than the file holds, is refused before FreeImage
// reads it (it cleared a negative length), and so is a size over the
// format's limit (it wrote past its buffers) or a raw picture the file
// cannot hold; sound RLE and raw pictures load.
namespace {

void put16be(std::string& s, std::uint64_t v) {
    s += static_cast<char>((v >> 8) & 255);
    s += static_cast<char>(v & 255);
}

// An RGB picture of no colour mode data, resources or layers; `rows` holds
// each channel's rows in turn (RLE packets, or raw bytes when `lengths` is
// empty and `rle` false).
std::string psd(int w, int h, int depth, const std::vector<std::string>& rows, bool rle = true,
                std::vector<int> lengths = {}) {
    std::string s = "8BPS";
    put16be(s, 1);
    s += std::string(6, '\0');
    put16be(s, 3);
    put32be(s, h);
    put32be(s, w);
    put16be(s, depth);
    put16be(s, 3);
    s += std::string(12, '\0');
    put16be(s, rle ? 1 : 0);
    if (rle && lengths.empty())
        for (const std::string& r : rows) lengths.push_back(static_cast<int>(r.size()));
    for (int l : lengths) put16be(s, l);
    for (const std::string& r : rows) s += r;
    return s;
}

// A run of `count` copies of `value`, and `bytes` as they stand.
std::string run(int count, char value) { return std::string(1, static_cast<char>(257 - count)) + value; }
std::string literal(const std::string& bytes) { return static_cast<char>(bytes.size() - 1) + bytes; }

}  // namespace

TEST(PsdGuard, DamagedPicturesAreRefusedSoundOnesLoad) {
    // 3 x 2 pixels: red row (10, 20, 30), then (40, 50, 60); channels in turn.
    const std::vector<std::string> sound = {run(3, 10), run(3, 40), run(3, 20), run(3, 50), run(3, 30), run(3, 60)};
    std::vector<std::string> sixteen(6, literal(std::string("\x11\x00\x22\x00\x33\x00", 6)));
    std::vector<std::string> overfull = sound;
    overfull[0] = run(3, 10) + run(3, 10);  // a packet after the row is full
    std::vector<std::string> raw = {"\x0a\x0a\x0a", "\x28\x28\x28", "\x14\x14\x14", "\x32\x32\x32", "\x1e\x1e\x1e",
                                    "\x3c\x3c\x3c"};
    const std::vector<std::string> tooLong = {run(4, 10), run(3, 40), run(3, 20), run(3, 50), run(3, 30), run(3, 60)};
    const std::vector<std::string> cutLiteral = {literal("\x0a\x0a\x0a"), run(3, 40), run(3, 20),
                                                 run(3, 50),                 run(3, 30), run(3, 60)};
    expectLoadsOrRefused(
        {
            {"sound_rle", psd(3, 2, 8, sound), 3, 2, Bytes{10, 20, 30}, ""},
            {"sound_rle_16_bit", psd(3, 2, 16, sixteen), 3, 2, Bytes{}, ""},
            {"raw", psd(3, 2, 8, raw, false), 3, 2, Bytes{10, 20, 30}, ""},
            {"row_holds_more", psd(3, 2, 8, overfull), 0, 0, Bytes{},
             "an RLE row holds more than the picture's 3 bytes a row"},
            {"one_packet_too_long", psd(3, 2, 8, tooLong), 0, 0, Bytes{}, "an RLE row holds more than"},
            {"last_row_past_the_end", psd(3, 2, 8, sound, true, {2, 2, 2, 2, 2, 3}), 0, 0, Bytes{},
             "the RLE rows claim more bytes than the file holds"},
            {"lengths_past_the_end", psd(3, 2, 8, sound).substr(0, 26 + 14 + 8), 0, 0, Bytes{},
             "the RLE row lengths run past the end of the file"},
            {"raw_cut", psd(3, 2, 8, raw, false).substr(0, 26 + 14 + 17), 0, 0, Bytes{},
             "3 x 2 pixels need 18 bytes, the file holds 17"},
            {"depth_of_12_bits", psd(3, 2, 12, sound), 0, 0, Bytes{}, "unsupported pixel depth 12"},
            {"taller_than_the_format", psd(3, 30001, 8, {}, false), 0, 0, Bytes{},
             "a picture of 3 x 30001 pixels is over the format's 30000 pixels a side"},
            {"packet_past_its_row", psd(3, 2, 8, cutLiteral, true, {3, 2, 2, 2, 2, 2}), 0, 0, Bytes{},
             "an RLE packet runs past the end of its row"},
        },
        ".psd");
}

// BMP files: an uncompressed picture the file cannot hold is refused before
// FreeImage reads its rows one by one past the end (seconds for a few bytes,
// for a picture of nothing); sound files, RLE ones among them (smaller than
// their rows), and files without the last row's padding load as before.
namespace {

// An 8-bit RLE picture of one grey index: runs of up to 255 pixels, an end
// of line between rows (FreeImage refuses one after the last), an end of
// picture.
std::string rle8Bmp(int w, int h, int index) {
    std::string data;
    for (int y = 0; y < h; ++y) {
        for (int left = w; left > 0; left -= 255)
            data += std::string{static_cast<char>(std::min(left, 255)), static_cast<char>(index)};
        if (y + 1 < h) data += std::string("\0\0", 2);
    }
    data += std::string("\0\1", 2);
    std::string s = "BM";
    auto put32 = [&s](std::uint64_t v) {
        for (int shift : {0, 8, 16, 24}) s += static_cast<char>((v >> shift) & 255);
    };
    put32(14 + 40 + 1024 + data.size());
    put32(0);
    put32(14 + 40 + 1024);
    for (std::uint64_t v : {std::uint64_t(40), std::uint64_t(w), std::uint64_t(h)}) put32(v);
    put16(s, 1);
    put16(s, 8);
    for (std::uint64_t v : {std::uint64_t(1), std::uint64_t(data.size()), std::uint64_t(2835), std::uint64_t(2835),
                            std::uint64_t(256), std::uint64_t(0)})
        put32(v);
    for (int i = 0; i < 256; ++i) s += std::string{char(i), char(i), char(i), '\0'};
    return s + data;
}

}  // namespace

TEST(BmpGuard, UncompressedRowsTheFileCannotHoldAreRefused) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    // What FreeImage writes, 37 x 5 pixels of 0x40 (a row of 1-bit pixels
    // is padded to 4 bytes, of 24-bit ones to 112).
    auto written = [&](const char* name, int bits, int flags) {
        FIBITMAP* bmp = FreeImage_Allocate(37, 5, bits);
        for (int y = 0; y < 5; ++y) std::memset(FreeImage_GetScanLine(bmp, y), 0x40, FreeImage_GetLine(bmp));
        if (RGBQUAD* palette = FreeImage_GetPalette(bmp))
            for (unsigned i = 0; i < FreeImage_GetColorsUsed(bmp); ++i)
                palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
        const std::string path = dir.path(name);
        const bool saved = FreeImage_Save(FIF_BMP, bmp, path.c_str(), flags);
        FreeImage_Unload(bmp);
        return saved ? readBytes(path) : std::string();
    };
    const std::string one = written("1.bmp", 1, 0), eight = written("8.bmp", 8, 0), rgb = written("24.bmp", 24, 0),
                      rgba = written("32.bmp", 32, 0), rle = rle8Bmp(370, 50, 0x40);
    ASSERT_FALSE(one.empty() || eight.empty() || rgb.empty() || rgba.empty() || rle.empty());
    ASSERT_LT(rle.size(), 372u * 50) << "the RLE picture is smaller than its rows";
    // The 24-bit header claiming 67108866 rows, top first.
    std::string tall = rgb.substr(0, 54) + std::string(12, '\x40');
    tall.replace(22, 4, std::string("\xfe\xff\xff\xfb", 4));
    expectLoadsOrRefused(
        {
            {"sound_1_bit", one, 37, 5, Bytes{}, ""},
            {"sound_8_bit", eight, 37, 5, Bytes{}, ""},
            {"sound_24_bit", rgb, 37, 5, Bytes{0x40, 0x40, 0x40}, ""},
            {"sound_32_bit", rgba, 37, 5, Bytes{0x40, 0x40, 0x40}, ""},
            {"sound_rle", rle, 370, 50, Bytes{0x40, 0x40, 0x40}, ""},
            {"24_bit_without_the_last_padding", rgb.substr(0, rgb.size() - 1), 37, 5, Bytes{}, ""},
            {"24_bit_short_of_a_pixel_byte", rgb.substr(0, rgb.size() - 2), 0, 0, Bytes{},
             "37 x 5 pixels need 559 bytes, the file holds 558"},
            {"1_bit_short_of_a_pixel_byte", one.substr(0, one.size() - 4), 0, 0, Bytes{},
             "37 x 5 pixels need 37 bytes, the file holds 36"},
            {"claims_67108866_rows", tall, 0, 0, Bytes{},
             "37 x 67108866 pixels need 7516192991 bytes, the file holds 12"},
            {"8_bit_palette_but_no_rows", eight.substr(0, 14 + 40 + 1024), 0, 0, Bytes{},
             "37 x 5 pixels need 197 bytes, the file holds 0"},
        },
        ".bmp");
}

// PCX files: a row length too short for the picture's width is refused
// before FreeImage reads past each row's buffer; sound files load as before.
namespace {

// A 4 x 2 picture of `planes` planes of 8 bits, each row `rowBytes` long,
// the bytes (all below 0xC0) stored as they stand, with a grey palette.
std::string pcx(int planes, int rowBytes, char value) {
    std::string s(128, '\0');
    s[0] = 0x0a;
    s[1] = 5;
    s[2] = 1;
    s[3] = 8;
    s[8] = 3;   // xMax
    s[10] = 1;  // yMax
    s[65] = static_cast<char>(planes);
    s[66] = static_cast<char>(rowBytes);
    s += std::string(static_cast<size_t>(2 * planes * rowBytes), value);
    s += '\x0c';
    for (int i = 0; i < 256; ++i) s += std::string(3, static_cast<char>(i));
    return s;
}

}  // namespace

TEST(PcxGuard, RowsTooShortForThePictureAreRefused) {
    expectLoadsOrRefused(
        {
            {"sound_8_bit", pcx(1, 4, 0x40), 4, 2, Bytes{0x40, 0x40, 0x40}, ""},
            {"sound_24_bit", pcx(3, 4, 0x40), 4, 2, Bytes{0x40, 0x40, 0x40}, ""},
            {"rows_longer_than_the_width", pcx(1, 6, 0x40), 4, 2, Bytes{0x40, 0x40, 0x40}, ""},
            {"rows_too_short", pcx(3, 3, 0x40), 0, 0, Bytes{}, "rows of 3 bytes cannot hold 4 pixels of 8 bits"},
        },
        ".pcx");
}
