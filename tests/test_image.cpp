// Loading, saving and converting pictures, without a GL context: every image
// here has its texture switched off, as the brush library's saves do.

#include <sys/stat.h>
#include <unistd.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>

#include "MyOfImage.h"
#include "image_fixtures.h"
#include "ofImage.h"

using namespace imgtest;

namespace {

constexpr int W = 5;  // odd, so 24-bit rows are not 4-byte multiples
constexpr int H = 3;

// What a picture should load as; `expect` null checks type and size only.
struct LoadCase {
    const char* name;
    const char* file;
    std::function<bool(const std::string&)> make;
    int type;
    int w, h;
    std::function<Rgba(int, int)> expect;
    int tolerance;
    std::function<bool(int, int)> checked;  // null: every pixel
};

int channelsOf(int type) { return type == 0 ? 1 : type == 1 ? 3 : 4; }

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

Rgba paletted(int i, bool alpha) { return {paletteEntry(i).r, paletteEntry(i).g, paletteEntry(i).b, alpha ? transparencyOf(i) : 255}; }
int index8(int x, int y) { return (x * 3 + y * 7 + 1) & 255; }
int index4(int x, int y) { return (x + y * W) % 16; }
Rgba rgbaAt(int x, int y) { return {rgbAt(x, y).r, rgbAt(x, y).g, rgbAt(x, y).b, alphaAt(x, y)}; }
Rgba grey(int v, int a = 255) { return {v, v, v, a}; }

// 32 x 32 in four flat quadrants: JPEG keeps them apart from their borders.
Rgba quadrant(int x, int y) {
    static const Rgba q[4] = {{200, 30, 30, 255}, {30, 200, 30, 255}, {30, 30, 200, 255}, {220, 220, 40, 255}};
    return q[(x / 16) + 2 * (y / 16)];
}
bool awayFromQuadrantBorders(int x, int y) { return std::abs(x - 16) > 4 && std::abs(y - 16) > 4; }

FIBITMAP* greyQuadrants() {
    return makePaletted(32, 32, 8, true, [](int x, int y) { return quadrant(x, y).r; });
}

int index1(int x, int y) { return (x + y) % 2; }

// A paletted file of index(x, y), with the transparency table when asked.
std::function<bool(const std::string&)> palettedFile(int bpp, int (*index)(int, int), FREE_IMAGE_FORMAT fif,
                                                     bool transparent) {
    return [=](const std::string& p) {
        FIBITMAP* b = makePaletted(W, H, bpp, false, index);
        if (transparent) setTransparencyTable(b, 1 << bpp);
        return saveAndFree(b, fif, p);
    };
}

std::function<Rgba(int, int)> palettedPixels(int (*index)(int, int), bool alpha) {
    return [=](int x, int y) { return paletted(index(x, y), alpha); };
}

std::function<bool(const std::string&)> direct(FREE_IMAGE_FORMAT fif, int bpp) {
    return [=](const std::string& p) {
        return saveAndFree(makeDirect(W, H, bpp, bpp == 32 ? rgbaAt : rgbAt), fif, p);
    };
}

std::function<bool(const std::string&)> wide(FREE_IMAGE_FORMAT fif, FREE_IMAGE_TYPE type) {
    return [=](const std::string& p) { return saveAndFree(makeWide(W, H, type), fif, p); };
}

const LoadCase kLoadCases[] = {
    {"png_1bit_palette", "p1.png", palettedFile(1, index1, FIF_PNG, false), 1, W, H, palettedPixels(index1, false), 0,
     nullptr},
    {"bmp_4bit_palette", "p4.bmp", palettedFile(4, index4, FIF_BMP, false), 1, W, H, palettedPixels(index4, false), 0,
     nullptr},
    {"png_4bit_palette_transparent", "p4t.png", palettedFile(4, index4, FIF_PNG, true), 2, W, H,
     palettedPixels(index4, true), 0, nullptr},
    {"png_8bit_palette", "p8.png", palettedFile(8, index8, FIF_PNG, false), 1, W, H, palettedPixels(index8, false), 0,
     nullptr},
    {"png_8bit_palette_transparent", "p8t.png", palettedFile(8, index8, FIF_PNG, true), 2, W, H,
     palettedPixels(index8, true), 0, nullptr},
    {"gif_8bit_palette", "p8.gif", palettedFile(8, index8, FIF_GIF, false), 1, W, H, palettedPixels(index8, false), 0,
     nullptr},
    {"gif_transparent_index", "p8t.gif",
     [](const std::string& p) {
         FIBITMAP* b = makePaletted(W, H, 8, false, index8);
         FreeImage_SetTransparentIndex(b, index8(0, 0));
         return saveAndFree(b, FIF_GIF, p);
     },
     2, W, H,
     [](int x, int y) {
         Rgba c = paletted(index8(x, y), false);
         c.a = index8(x, y) == index8(0, 0) ? 0 : 255;
         return c;
     },
     0, nullptr},
    {"png_8bit_grey", "g8.png",
     [](const std::string& p) { return saveAndFree(makePaletted(W, H, 8, true, greyAt), FIF_PNG, p); }, 0, W, H,
     [](int x, int y) { return grey(greyAt(x, y)); }, 0, nullptr},
    {"png_8bit_grey_transparent", "g8t.png",
     [](const std::string& p) {
         FIBITMAP* b = makePaletted(W, H, 8, true, greyAt);
         setTransparencyTable(b, 256);
         return saveAndFree(b, FIF_PNG, p);
     },
     2, W, H, [](int x, int y) { return grey(greyAt(x, y), transparencyOf(greyAt(x, y))); }, 0, nullptr},
    {"tif_8bit_min_is_white", "w8.tif",
     [](const std::string& p) {
         FIBITMAP* b = makePaletted(W, H, 8, true, greyAt);
         RGBQUAD* pal = FreeImage_GetPalette(b);
         for (int i = 0; i < 256; ++i) pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = static_cast<BYTE>(255 - i);
         return saveAndFree(b, FIF_TIFF, p);
     },
     1, W, H, [](int x, int y) { return grey(255 - greyAt(x, y)); }, 0, nullptr},
    {"png_16bit_grey", "g16.png", wide(FIF_PNG, FIT_UINT16), 0, W, H,
     [](int x, int y) { return grey(greyAt(x, y)); }, 0, nullptr},
    {"tif_16bit_grey", "g16.tif", wide(FIF_TIFF, FIT_UINT16), 0, W, H,
     [](int x, int y) { return grey(greyAt(x, y)); }, 0, nullptr},
    {"png_24bit", "c24.png", direct(FIF_PNG, 24), 1, W, H, rgbAt, 0, nullptr},
    {"tif_24bit", "c24.tif", direct(FIF_TIFF, 24), 1, W, H, rgbAt, 0, nullptr},
    {"bmp_24bit", "c24.bmp", direct(FIF_BMP, 24), 1, W, H, rgbAt, 0, nullptr},
    {"tga_24bit", "c24.tga", direct(FIF_TARGA, 24), 1, W, H, rgbAt, 0, nullptr},
    {"png_32bit", "c32.png", direct(FIF_PNG, 32), 2, W, H, rgbaAt, 0, nullptr},
    {"tif_32bit", "c32.tif", direct(FIF_TIFF, 32), 2, W, H, rgbaAt, 0, nullptr},
    {"bmp_32bit", "c32.bmp", direct(FIF_BMP, 32), 2, W, H, rgbaAt, 0, nullptr},
    {"tga_32bit", "c32.tga", direct(FIF_TARGA, 32), 2, W, H, rgbaAt, 0, nullptr},
    {"png_48bit", "c48.png", wide(FIF_PNG, FIT_RGB16), 1, W, H, rgbAt, 0, nullptr},
    {"tif_48bit", "c48.tif", wide(FIF_TIFF, FIT_RGB16), 1, W, H, rgbAt, 0, nullptr},
    {"png_64bit", "c64.png", wide(FIF_PNG, FIT_RGBA16), 2, W, H, rgbaAt, 0, nullptr},
    {"tif_64bit", "c64.tif", wide(FIF_TIFF, FIT_RGBA16), 2, W, H, rgbaAt, 0, nullptr},
    {"jpg_colour", "q.jpg",
     [](const std::string& p) { return saveAndFree(makeDirect(32, 32, 24, quadrant), FIF_JPEG, p, 95); }, 1, 32, 32,
     quadrant, 10, awayFromQuadrantBorders},
    {"jpg_grey", "qg.jpg", [](const std::string& p) { return saveAndFree(greyQuadrants(), FIF_JPEG, p, 95); }, 0,
     32, 32, [](int x, int y) { return grey(quadrant(x, y).r); }, 10, awayFromQuadrantBorders},
    // The contents decide, not the name.
    {"jpeg_named_png", "jpeg.png",
     [](const std::string& p) { return saveAndFree(makeDirect(32, 32, 24, quadrant), FIF_JPEG, p, 95); }, 1, 32, 32,
     quadrant, 10, awayFromQuadrantBorders},
    {"tif_float_grey", "f32.tif",
     [](const std::string& p) {
         FIBITMAP* b = FreeImage_AllocateT(FIT_FLOAT, W, H);
         for (int y = 0; y < H; ++y) {
             float* row = reinterpret_cast<float*>(FreeImage_GetScanLine(b, y));
             for (int x = 0; x < W; ++x) row[x] = static_cast<float>(x + y * W) / (W * H);
         }
         return saveAndFree(b, FIF_TIFF, p);
     },
     0, W, H, nullptr, 0, nullptr},
    {"tif_float_rgb", "f96.tif",
     [](const std::string& p) {
         FIBITMAP* b = FreeImage_AllocateT(FIT_RGBF, W, H);
         for (int y = 0; y < H; ++y) {
             FIRGBF* row = reinterpret_cast<FIRGBF*>(FreeImage_GetScanLine(b, y));
             for (int x = 0; x < W; ++x) row[x] = {0.2f * x, 0.3f * y, 0.5f};
         }
         return saveAndFree(b, FIF_TIFF, p);
     },
     1, W, H, nullptr, 0, nullptr},
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

class LoadFormats : public ::testing::TestWithParam<LoadCase> {};

void expectPixels(ofImage& img, const LoadCase& c) {
    const int channels = channelsOf(c.type);
    const unsigned char* px = img.getPixels();
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            if (c.checked && !c.checked(x, y)) continue;
            const Rgba e = c.expect(x, y);
            const int want[4] = {e.r, e.g, e.b, e.a};
            const unsigned char* p = px + (static_cast<size_t>(y) * c.w + x) * channels;
            for (int k = 0; k < channels; ++k)
                ASSERT_NEAR(p[k], want[k], c.tolerance) << "pixel (" << x << ", " << y << ") channel " << k;
        }
}

}  // namespace

TEST_P(LoadFormats, LoadsWithTypeSizeAndPixels) {
    const LoadCase& c = GetParam();
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string path = tmp.path(c.file);
    ASSERT_TRUE(c.make(path)) << "fixture not written";

    ofImage img;
    img.setUseTexture(false);
    ASSERT_TRUE(img.loadImage(path));
    EXPECT_EQ(img.imageType, c.type);
    EXPECT_EQ(img.bitDepth, c.type == 0 ? 8 : c.type == 1 ? 24 : 32);
    ASSERT_EQ(img.width, c.w);
    ASSERT_EQ(img.height, c.h);
    EXPECT_FALSE(img.texture.bAllocated());
    if (c.expect) expectPixels(img, c);
}

INSTANTIATE_TEST_SUITE_P(Pictures, LoadFormats, ::testing::ValuesIn(kLoadCases), caseName<LoadCase>);

// --- Files that are not pictures --------------------------------------------

namespace {

struct BadCase {
    const char* name;
    const char* file;
    std::function<void(const std::string&)> make;
    bool mayLoadAtFullSize;  // a cut-off JPEG decodes, padded, at its full size
};

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& ch : s) ch = static_cast<char>(gen() & 0xFF);
    return s;
}

std::string validFile(FREE_IMAGE_FORMAT fif, const char* ext) {
    TempDir tmp;
    const std::string p = tmp.path(std::string("whole.") + ext);
    // Noisy contents, so the compressed data is long enough to cut.
    std::mt19937 gen(7);
    saveAndFree(makeDirect(64, 64, 24, [&](int, int) {
                    return Rgba{static_cast<int>(gen() & 255), static_cast<int>(gen() & 255), 9, 255};
                }),
                fif, p);
    return readBytes(p);
}

void writeHalf(const std::string& path, FREE_IMAGE_FORMAT fif, const char* ext) {
    const std::string whole = validFile(fif, ext);
    writeBytes(path, whole.substr(0, whole.size() / 2));
}

// A BMP header that claims 17000 x 17000 pixels (above the limit) with no
// pixel data after it.
std::string hugeBmpHeader() {
    std::string h(54, '\0');
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) h[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    h[0] = 'B';
    h[1] = 'M';
    put32(2, 54 + 3u * 17000u * 17000u);
    put32(10, 54);
    put32(14, 40);
    put32(18, 17000);
    put32(22, 17000);
    h[26] = 1;
    h[28] = 24;
    return h;
}

const BadCase kBadCases[] = {
    {"truncated_png", "cut.png", [](const std::string& p) { writeHalf(p, FIF_PNG, "png"); }, false},
    {"truncated_tiff", "cut.tif", [](const std::string& p) { writeHalf(p, FIF_TIFF, "tif"); }, false},
    {"truncated_jpeg", "cut.jpg", [](const std::string& p) { writeHalf(p, FIF_JPEG, "jpg"); }, true},
    {"random_named_png", "noise.png", [](const std::string& p) { writeBytes(p, randomBytes(4096, 1)); }, false},
    {"random_named_jpg", "noise.jpg", [](const std::string& p) { writeBytes(p, randomBytes(4096, 2)); }, false},
    {"random_named_bmp", "noise.bmp", [](const std::string& p) { writeBytes(p, randomBytes(4096, 3)); }, false},
    {"random_no_extension", "noise", [](const std::string& p) { writeBytes(p, randomBytes(4096, 4)); }, false},
    {"png_signature_then_noise", "sig.png",
     [](const std::string& p) { writeBytes(p, std::string("\x89PNG\r\n\x1a\n", 8) + randomBytes(500, 5)); }, false},
    {"empty_file", "empty.png", [](const std::string& p) { writeBytes(p, ""); }, false},
    {"text_file", "notes.txt", [](const std::string& p) { writeBytes(p, "just some words\n"); }, false},
    {"folder", "folder.png", [](const std::string& p) { mkdir(p.c_str(), 0755); }, false},
    {"missing", "missing.png", [](const std::string&) {}, false},
    {"huge_bmp_header", "huge.bmp", [](const std::string& p) { writeBytes(p, hugeBmpHeader()); }, false},
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class LoadFailures : public ::testing::TestWithParam<BadCase> {};

}  // namespace

TEST_P(LoadFailures, FailCleanlyAndLeaveTheImageAlone) {
    const BadCase& c = GetParam();
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string path = tmp.path(c.file);
    c.make(path);

    ofImage img;
    img.setUseTexture(false);
    std::vector<unsigned char> before(4 * 3 * 4);
    for (size_t i = 0; i < before.size(); ++i) before[i] = static_cast<unsigned char>(i * 7);
    img.setFromPixels(before.data(), 4, 3, OF_IMAGE_COLOR_ALPHA);

    const bool loaded = img.loadImage(path);
    if (loaded) {
        ASSERT_TRUE(c.mayLoadAtFullSize) << "a broken file reported as loaded";
        EXPECT_EQ(img.width, 64);
        EXPECT_EQ(img.height, 64);
        EXPECT_EQ(img.imageType, OF_IMAGE_COLOR);
        return;
    }
    EXPECT_EQ(img.width, 4);
    EXPECT_EQ(img.height, 3);
    EXPECT_EQ(img.imageType, OF_IMAGE_COLOR_ALPHA);
    EXPECT_EQ(img.bitDepth, 32);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), img.getPixels()));
}

INSTANTIATE_TEST_SUITE_P(Files, LoadFailures, ::testing::ValuesIn(kBadCases), caseName<BadCase>);

// --- Saving ------------------------------------------------------------------

namespace {

struct RoundTrip {
    const char* name;
    const char* ext;
    int type;       // what is saved
    int loadsAs;    // what comes back
    int tolerance;  // 0 for lossless
};

const RoundTrip kRoundTrips[] = {
    {"png_grey", "png", 0, 0, 0},      {"png_rgb", "png", 1, 1, 0},      {"png_rgba", "png", 2, 2, 0},
    {"bmp_grey", "bmp", 0, 0, 0},      {"bmp_rgb", "bmp", 1, 1, 0},      {"bmp_rgba", "bmp", 2, 2, 0},
    {"tga_grey", "tga", 0, 0, 0},      {"tga_rgb", "tga", 1, 1, 0},      {"tga_rgba", "tga", 2, 2, 0},
    {"tif_grey", "tif", 0, 0, 0},      {"tif_rgb", "tif", 1, 1, 0},      {"tif_rgba", "tif", 2, 2, 0},
    {"gif_grey", "gif", 0, 0, 0},      {"gif_rgb_quantised", "gif", 1, 1, 8},
    // JPEG has no alpha: RGBA is written as RGB rather than not at all.
    {"jpg_rgba", "jpg", 2, 1, 12},     {"jpg_grey", "jpg", 0, 0, 12},
};

void PrintTo(const RoundTrip& c, std::ostream* os) { *os << c.name; }

class SaveRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Smooth enough for JPEG, varied enough to catch swapped channels.
std::vector<unsigned char> smoothPixels(int w, int h, int channels) {
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * channels);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &px[(static_cast<size_t>(y) * w + x) * channels];
            const int v[4] = {40 + x * 4, 200 - y * 3, 90 + (x + y), 30 + y * 5};
            for (int k = 0; k < channels; ++k) p[k] = static_cast<unsigned char>(channels == 1 ? v[0] : v[k]);
        }
    return px;
}

}  // namespace

TEST_P(SaveRoundTrip, KeepsPixelsAndLeavesTheBufferAlone) {
    const RoundTrip& c = GetParam();
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const int w = 33, h = 17;
    const int channels = channelsOf(c.type);
    const std::vector<unsigned char> px = smoothPixels(w, h, channels);

    ofImage img;
    img.setUseTexture(false);
    img.setFromPixels(px.data(), w, h, c.type);
    const std::string path = tmp.path(std::string("out.") + c.ext);
    ASSERT_TRUE(img.saveImage(path));
    EXPECT_TRUE(std::equal(px.begin(), px.end(), img.getPixels())) << "saving changed the image's bytes";
    EXPECT_EQ(listDir(tmp.root()).size(), 1u) << "temporary file left behind";

    ofImage back;
    back.setUseTexture(false);
    ASSERT_TRUE(back.loadImage(path));
    ASSERT_EQ(back.imageType, c.loadsAs);
    ASSERT_EQ(back.width, w);
    ASSERT_EQ(back.height, h);
    const int backChannels = channelsOf(c.loadsAs);
    int worst = 0;
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
        for (int k = 0; k < backChannels; ++k)
            worst = std::max(worst, std::abs(int(back.getPixels()[i * backChannels + k]) - int(px[i * channels + k])));
    EXPECT_LE(worst, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Formats, SaveRoundTrip, ::testing::ValuesIn(kRoundTrips), caseName<RoundTrip>);

namespace {

ofImage* rgbaImage(ofImage& img) {
    const std::vector<unsigned char> px = smoothPixels(8, 8, 4);
    img.setUseTexture(false);
    img.setFromPixels(px.data(), 8, 8, OF_IMAGE_COLOR_ALPHA);
    return &img;
}

}  // namespace

// wxWidgets puts its own libtiff handlers in, which show every TIFF message
// as an error box. A TIFF as ImageMagick writes it, or as the program saves
// one, makes libtiff talk (FreeImage asks it for tags it does not know) but
// loads: no error may reach the toolkit, and the log gets one line. A TIFF
// cut short fails, told by the caller alone.
TEST(ImageLoad, TiffReaderMessagesGoToTheLogNotToTheToolkit) {
    struct Errors : wxLog {
        int count = 0;
        void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override {
            count += level <= wxLOG_Warning;
        }
    };
    wxInitializer wx;
    wxInitAllImageHandlers();
    Errors* errors = new Errors;
    delete wxLog::SetActiveTarget(errors);
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string fixture = WYRLE_TEST_DATA "/pictures/written-by-imagemagick.tif";
    const std::string cut = tmp.path("cut.tif"), ours = tmp.path("ours.tif");
    ASSERT_TRUE(writeBytes(cut, readBytes(fixture).substr(0, 120)));

    MyOfImage image;
    image.setUseTexture(false);
    const std::string read = stdoutOf([&] { EXPECT_TRUE(image.loadImage(fixture)); });
    wxLog::FlushActive();
    EXPECT_EQ(errors->count, 0);
    EXPECT_EQ(image.width, 6);
    EXPECT_EQ(image.height, 4);
    EXPECT_EQ(std::count(read.begin(), read.end(), '\n'), 1) << read;
    EXPECT_NE(read.find("unknown tag"), std::string::npos) << read;
    EXPECT_NE(read.find("written-by-imagemagick.tif"), std::string::npos) << read;

    const std::vector<unsigned char> pixels(image.getPixels(), image.getPixels() + 6 * 4 * 3);
    ASSERT_TRUE(image.saveImage(ours));
    MyOfImage again;
    again.setUseTexture(false);
    stdoutOf([&] { EXPECT_TRUE(again.loadImage(ours)); });
    EXPECT_EQ(std::vector<unsigned char>(again.getPixels(), again.getPixels() + 6 * 4 * 3), pixels);

    stdoutOf([&] { EXPECT_FALSE(again.loadImage(cut)); });
    wxLog::FlushActive();
    EXPECT_EQ(errors->count, 0);
    delete wxLog::SetActiveTarget(nullptr);
}

TEST(ImageSave, ExtensionDecidesTheFormatEvenOverAnExistingFile) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string path = tmp.path("art.png");
    ASSERT_TRUE(saveAndFree(makeDirect(8, 8, 24, rgbAt), FIF_JPEG, path));
    ASSERT_EQ(FreeImage_GetFileType(path.c_str(), 0), FIF_JPEG);

    ofImage img;
    ASSERT_TRUE(rgbaImage(img)->saveImage(path));
    EXPECT_EQ(FreeImage_GetFileType(path.c_str(), 0), FIF_PNG);
    ofImage back;
    back.setUseTexture(false);
    ASSERT_TRUE(back.loadImage(path));
    EXPECT_EQ(back.imageType, OF_IMAGE_COLOR_ALPHA);
}

TEST(ImageSave, FailuresReportFalseAndLeaveExistingFilesAlone) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    ofImage img;
    rgbaImage(img);

    // EXR takes only floating-point pictures: FreeImage can write the
    // format but not these pixels.
    const std::string exr = tmp.path("keep.exr");
    ASSERT_TRUE(writeBytes(exr, "old contents"));
    mkdir(tmp.path("dir.png").c_str(), 0755);
    const std::string targets[] = {tmp.path("a.xyz"), tmp.path("noext"), exr, tmp.path("dir.png"),
                                   tmp.path("missing/a.png")};
    for (const std::string& t : targets) {
        bool saved = true;
        EXPECT_NE(stdoutOf([&] { saved = img.saveImage(t); }).find("cannot save"), std::string::npos)
            << "no reason given for " << t;
        EXPECT_FALSE(saved) << t;
    }
    EXPECT_EQ(readBytes(exr), "old contents");
    std::vector<std::string> names = listDir(tmp.root());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dir.png", "keep.exr"}));

    ofImage empty;
    empty.setUseTexture(false);
    EXPECT_NE(stdoutOf([&] { EXPECT_FALSE(empty.saveImage(tmp.path("none.png"))); })
                  .find("error saving image - pixels aren't allocated"),
              std::string::npos);
}

TEST(ImageSave, UnwritableFolderFailsAndKeepsTheOldFile) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string folder = tmp.path("locked");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string old = folder + "/old.png";
    ASSERT_TRUE(writeBytes(old, "old picture"));
    svctest::asUnprivileged(tmp.root(), [&] {
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
        ofImage img;
        rgbaImage(img);
        EXPECT_NE(stdoutOf([&] { EXPECT_FALSE(img.saveImage(old)); }).find("cannot save"), std::string::npos);
        EXPECT_EQ(readBytes(old), "old picture");
        EXPECT_EQ(listDir(folder).size(), 1u);
    });
}

TEST(ImageSave, ReplacingKeepsTheFileModeAndWritesThroughLinks) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    ofImage img;
    rgbaImage(img);

    const std::string target = tmp.path("mode.png");
    ASSERT_TRUE(writeBytes(target, "x"));
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(img.saveImage(target));
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = tmp.path("link.png");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(writeBytes(target, "y"));
    ASSERT_TRUE(img.saveImage(link));
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(FreeImage_GetFileType(target.c_str(), 0), FIF_PNG);
}

TEST(ImageSave, PlainBufferSaveGivesAReason) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::vector<unsigned char> px = smoothPixels(4, 4, 3);
    std::string why;
    EXPECT_FALSE(ofSavePixels(tmp.path("a.png"), px.data(), 4, 4, 2, 0, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(ofSavePixels(tmp.path("a.unknownext"), px.data(), 4, 4, 3, 0, &why));
    EXPECT_NE(why.find("extension"), std::string::npos);
    EXPECT_TRUE(ofSavePixels(tmp.path("a.png"), px.data(), 4, 4, 3, 0, &why));
}

TEST(MyImage, SaveJpgClampsQualityAndRefusesOtherNames) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    MyOfImage img;
    img.setUseTexture(false);
    const std::vector<unsigned char> px = smoothPixels(40, 40, 4);
    img.setFromPixels(px.data(), 40, 40, OF_IMAGE_COLOR_ALPHA);

    const int qualities[] = {0, 1, 100, 150, 50};
    for (int q : qualities) ASSERT_TRUE(img.saveJpg(tmp.path("q" + std::to_string(q) + ".jpg"), q)) << q;
    EXPECT_EQ(readBytes(tmp.path("q0.jpg")), readBytes(tmp.path("q1.jpg")));
    EXPECT_EQ(readBytes(tmp.path("q150.jpg")), readBytes(tmp.path("q100.jpg")));
    EXPECT_NE(readBytes(tmp.path("q50.jpg")), readBytes(tmp.path("q100.jpg")));
    EXPECT_LT(readBytes(tmp.path("q1.jpg")).size(), readBytes(tmp.path("q100.jpg")).size());

    EXPECT_FALSE(img.saveJpg(tmp.path("brush.png"), 90));
    EXPECT_FALSE(svctest::exists(tmp.path("brush.png")));

    MyOfImage empty;
    EXPECT_FALSE(empty.saveJpg(tmp.path("empty.jpg"), 90));
    EXPECT_FALSE(svctest::exists(tmp.path("empty.jpg")));
    EXPECT_FALSE(svctest::exists("myOfImage.log"));
}

// --- Pixel store and conversions ---------------------------------------------

TEST(ImagePixels, BadTypesAndSizesChangeNothing) {
    ofImage img;
    img.setUseTexture(false);
    img.allocate(3, 2, OF_IMAGE_COLOR);
    unsigned char* before = img.getPixels();

    const struct {
        int w, h, type;
        const char* message;
    } cases[] = {
        {3, 2, 5, "error = bad imageType in ofImage::allocate"},
        {3, 2, -1, "error = bad imageType in ofImage::allocate"},
        {70000, 70000, OF_IMAGE_COLOR, "cannot allocate"},
        {-4, 2, OF_IMAGE_COLOR, "cannot allocate"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(stdoutOf([&] { img.allocate(c.w, c.h, c.type); }).find(c.message), std::string::npos) << c.message;
        EXPECT_EQ(img.width, 3);
        EXPECT_EQ(img.height, 2);
        EXPECT_EQ(img.imageType, OF_IMAGE_COLOR);
        EXPECT_EQ(img.getPixels(), before);
    }

    unsigned char src[3 * 2 * 3] = {};
    EXPECT_NE(stdoutOf([&] { img.setFromPixels(src, 3, 2, 7); }).find("error = bad imageType in ofImage::setFromPixels"),
              std::string::npos);
    EXPECT_EQ(img.imageType, OF_IMAGE_COLOR);
}

TEST(ImagePixels, AllocatingAgainAtTheSameSizeKeepsTheBuffer) {
    ofImage img;
    img.setUseTexture(false);
    img.allocate(4, 4, OF_IMAGE_COLOR_ALPHA);
    unsigned char* data = img.getPixels();
    std::fill(data, data + 64, 0x5A);
    img.allocate(4, 4, OF_IMAGE_COLOR_ALPHA);
    EXPECT_EQ(img.getPixels(), data);
    EXPECT_TRUE(std::all_of(data, data + 64, [](unsigned char v) { return v == 0x5A; }));
    img.allocate(4, 4, OF_IMAGE_COLOR);
    EXPECT_EQ(img.bitDepth, 24);
}

TEST(ImagePixels, SetFromPixelsOrderAndTextureSwitch) {
    ofImage img;
    img.setUseTexture(false);
    const unsigned char bgr[] = {1, 2, 3, 4, 5, 6};
    img.setFromPixels(bgr, 2, 1, OF_IMAGE_COLOR, false);
    const unsigned char rgb[] = {3, 2, 1, 6, 5, 4};
    EXPECT_TRUE(std::equal(rgb, rgb + 6, img.getPixels()));

    // A new size must not switch the texture back on: this image is never
    // to touch GL.
    const unsigned char grey[] = {9, 8, 7};
    img.setFromPixels(grey, 3, 1, OF_IMAGE_GRAYSCALE, false);
    EXPECT_FALSE(img.useTexture);
    EXPECT_FALSE(img.texture.bAllocated());
    EXPECT_EQ(img.imageType, OF_IMAGE_GRAYSCALE);
    EXPECT_TRUE(std::equal(grey, grey + 3, img.getPixels()));
}

TEST(ImagePixels, TypeChanges) {
    ofImage img;
    img.setUseTexture(false);
    // Pure red, pure blue, white.
    const unsigned char rgb[] = {255, 0, 0, 0, 0, 255, 255, 255, 255};
    img.setFromPixels(rgb, 3, 1, OF_IMAGE_COLOR);

    img.setImageType(OF_IMAGE_COLOR_ALPHA);
    const unsigned char rgba[] = {255, 0, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    ASSERT_EQ(img.bitDepth, 32);
    EXPECT_TRUE(std::equal(rgba, rgba + 12, img.getPixels()));

    img.setImageType(OF_IMAGE_COLOR);
    ASSERT_EQ(img.bitDepth, 24);
    EXPECT_TRUE(std::equal(rgb, rgb + 9, img.getPixels()));

    img.setImageType(OF_IMAGE_GRAYSCALE);
    ASSERT_EQ(img.imageType, OF_IMAGE_GRAYSCALE);
    const unsigned char* g = img.getPixels();
    // Red weighs more than blue in any luminance; swapped channels would
    // show as the opposite.
    EXPECT_GT(g[0], g[1]);
    EXPECT_NEAR(g[0], 54, 2);
    EXPECT_NEAR(g[1], 18, 2);
    EXPECT_EQ(g[2], 255);

    img.setImageType(OF_IMAGE_COLOR);
    EXPECT_EQ(img.getPixels()[3], img.getPixels()[5]);
    EXPECT_FALSE(img.texture.bAllocated());
}

TEST(ImagePixels, ResizeKeepsTypeAndColour) {
    for (int type : {OF_IMAGE_GRAYSCALE, OF_IMAGE_COLOR, OF_IMAGE_COLOR_ALPHA}) {
        ofImage img;
        img.setUseTexture(false);
        const int channels = channelsOf(type);
        std::vector<unsigned char> px(6 * 4 * channels);
        const unsigned char colour[4] = {200, 60, 10, 128};
        for (size_t i = 0; i < px.size(); ++i) px[i] = colour[i % channels];
        img.setFromPixels(px.data(), 6, 4, type);
        img.resize(13, 3);
        ASSERT_EQ(img.imageType, type);
        ASSERT_EQ(img.width, 13);
        ASSERT_EQ(img.height, 3);
        for (int i = 0; i < 13 * 3 * channels; ++i)
            ASSERT_NEAR(img.getPixels()[i], colour[i % channels], 1) << "type " << type << " byte " << i;
        img.resize(0, 3);
        EXPECT_EQ(img.width, 13);
    }
}

TEST(ImagePixels, CloneCopiesPixelsAndTheTextureSwitch) {
    ofImage src;
    src.setUseTexture(false);
    const unsigned char px[] = {1, 2, 3, 4, 5, 6, 7, 8};
    src.setFromPixels(px, 2, 1, OF_IMAGE_COLOR_ALPHA);
    ofImage copy;
    copy.clone(src);
    EXPECT_FALSE(copy.useTexture);
    EXPECT_FALSE(copy.texture.bAllocated());
    EXPECT_EQ(copy.imageType, OF_IMAGE_COLOR_ALPHA);
    ASSERT_NE(copy.getPixels(), src.getPixels());
    EXPECT_TRUE(std::equal(px, px + 8, copy.getPixels()));
}

TEST(ImagePixels, UsableAfterFreeImageIsClosed) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    ofImage img;
    rgbaImage(img);
    ofCloseFreeImage();
    EXPECT_TRUE(img.saveImage(tmp.path("after.png")));
    ofImage back;
    back.setUseTexture(false);
    EXPECT_TRUE(back.loadImage(tmp.path("after.png")));
    ofCloseFreeImage();
}
