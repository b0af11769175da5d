// Artwork creation, opening and saving without a window: the pictures are
// made in a scratch folder with the framework's own writer and FreeImage.

// wx first: FreeImage's header defines names wx takes for Windows.
#include <wx/string.h>

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include "core/artwork.h"
#include "core/pixels/canvas.h"
#include "framework/ofImage.h"
#include "services/MetadataHandler.h"
#include "tests/services_fixture.h"

namespace {

using palette::Rgb;
using svctest::TempDir;

bool sameRgb(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

std::string rgbText(Rgb c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// A picture held as plain bytes.
struct Picture {
    Picture(int w, int h, int bpp) : w(w), h(h), bpp(bpp), px(static_cast<size_t>(w) * h * bpp) {}
    unsigned char* at(int x, int y) { return px.data() + (static_cast<size_t>(y) * w + x) * bpp; }
    canvas::PixelSpan span() { return {px.data(), w, h, bpp}; }
    void fill(int r, int g, int b, int a = 0) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) set(x, y, r, g, b, a);
    }
    void set(int x, int y, int r, int g, int b, int a = 0) {
        unsigned char* p = at(x, y);
        p[0] = static_cast<unsigned char>(r);
        p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b);
        if (bpp == 4) p[3] = static_cast<unsigned char>(a);
    }
    bool write(const std::string& path) { return ofSavePixels(path, px.data(), w, h, bpp); }

    int w, h, bpp;
    std::vector<unsigned char> px;
};

// An artwork as the engine paints it: the background colour with alpha 0 and
// a few painted pixels whose alpha follows the colour.
Picture painting(int w, int h, int bpp, Rgb bg) {
    Picture p(w, h, bpp);
    p.fill(bg.r, bg.g, bg.b);
    for (int i = 1; i < w * h; i += 3) {
        const int x = i % w, y = i / w;
        const int r = (x * 40 + 17) & 255, g = (y * 60 + 3) & 255, b = (x * y * 13) & 255;
        p.set(x, y, r, g, b, canvas::canvasAlpha(r, g, b, bg));
    }
    return p;
}

struct Layers {
    ofImage front, back, display;
    Layers() {
        for (ofImage* img : {&front, &back, &display}) img->setUseTexture(false);
    }
    canvas::PixelSpan frontSpan() { return {front.getPixels(), front.width, front.height, front.bitDepth / 8}; }
};

artwork::OpenStatus open(Layers& l, const std::string& path, const artwork::OpenOptions& options,
                         artwork::OpenResult& result) {
    if (!artwork::readArtworkPicture(l.front, path)) {
        ADD_FAILURE() << "cannot read " << path;
        return artwork::OpenStatus::kNoMemory;
    }
    return artwork::adoptArtworkPicture(l.front, l.back, l.display, path, options, result);
}

bool writeComment(const std::string& path, const std::string& text) {
    MetadataHandler handler(wxString::FromUTF8(path.c_str()));
    return handler.WriteCommentPng(text.c_str());
}

// FreeImage writes a 16-byte JFIF header after SOI, so a comment segment put
// at byte 20 is the one the reader looks for.
std::string withJpegComment(const std::string& jpeg, const std::string& text) {
    EXPECT_GT(jpeg.size(), 20u);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[2]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[3]), 0xE0);
    EXPECT_EQ(static_cast<unsigned char>(jpeg[5]), 16);
    const size_t length = text.size() + 2;
    std::string segment = "\xFF\xFE";
    segment += static_cast<char>(length >> 8);
    segment += static_cast<char>(length & 255);
    return jpeg.substr(0, 20) + segment + text + jpeg.substr(20);
}

int bitsOfFile(const std::string& path) {
    ofImage starter;  // FreeImage's plugins up
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.c_str(), 0);
    FIBITMAP* bmp = FreeImage_Load(fif, path.c_str(), 0);
    if (!bmp) return -1;
    const int bits = static_cast<int>(FreeImage_GetBPP(bmp));
    FreeImage_Unload(bmp);
    return bits;
}

// --- The artwork comment -------------------------------------------------------

TEST(ArtworkMetadata, ParsesOnlyTheCommentAndClampsItsColour) {
    struct Case {
        std::string text;
        bool ok;
        Rgb want;
    };
    const Case cases[] = {
        {"bRGB 10 20 30", true, {10, 20, 30}},
        {"bRGB 255 255 255", true, {255, 255, 255}},
        {"  bRGB   1\t2  3 and more", true, {1, 2, 3}},
        {"bRGB 300 -5 999", true, {255, 0, 255}},
        {"bRGB 99999999999999999999 +7 0", true, {255, 7, 0}},
        {"xx bRGB 1 2 3", false, {}},
        {"bRGB 1 2", false, {}},
        {"bRGB a b c", false, {}},
        {"bRGB 1 2 3x", false, {}},
        {"BRGB 1 2 3", false, {}},
        {"bRGB - 2 3", false, {}},
        {"", false, {}},
        {std::string("bRGB 1 2\0 3", 11), false, {}},
    };
    for (const Case& c : cases) {
        Rgb bg{-1, -1, -1};
        EXPECT_EQ(artwork::parseArtworkMetadata(c.text, bg), c.ok) << '"' << c.text << '"';
        if (c.ok) EXPECT_TRUE(sameRgb(bg, c.want)) << c.text << " gave " << rgbText(bg);
        else EXPECT_TRUE(sameRgb(bg, Rgb{-1, -1, -1})) << c.text;
    }
    Rgb back{0, 0, 0};
    EXPECT_EQ(artwork::formatArtworkMetadata({4, 250, 99}), "bRGB 4 250 99");
    EXPECT_TRUE(artwork::parseArtworkMetadata(artwork::formatArtworkMetadata({4, 250, 99}), back));
    EXPECT_TRUE(sameRgb(back, Rgb{4, 250, 99}));
}

TEST(ArtworkMetadata, RandomTextNeverGivesAColourOutOfRange) {
    std::srand(11);
    const char alphabet[] = "bRGB 0123456789-+\t\n\0xyz";
    for (int round = 0; round < 20000; ++round) {
        std::string text = round % 2 ? "bRGB " : "";
        const int n = std::rand() % 40;
        for (int i = 0; i < n; ++i) text += alphabet[std::rand() % (sizeof alphabet - 1)];
        Rgb bg{7, 7, 7};
        if (artwork::parseArtworkMetadata(text, bg)) {
            for (int c : {bg.r, bg.g, bg.b}) ASSERT_TRUE(c >= 0 && c <= 255) << text;
        } else {
            ASSERT_TRUE(sameRgb(bg, Rgb{7, 7, 7}));
        }
    }
}

// --- Title and picture rules --------------------------------------------------------

TEST(ArtworkTitle, NameSizeZoomAndLayers) {
    struct Case {
        std::string name;
        int w, h;
        bool alpha;
        float zoom;
        bool showBack, backAlpha;
        std::string want;
    };
    const Case cases[] = {
        {"wyrleArtwork.png", 640, 480, true, 1.0f, false, true,
         "wyrleArtwork.png | 640x480 pixels with Alpha | 100% | Back Layer Off (A)"},
        {"/home/u/art/sunset.png", 1024, 768, false, 0.7f, false, false,
         "sunset.png | 1024x768 pixels | 70% | Back Layer Off"},
        {"C:\\art\\cat.png", 10, 10, false, 0.35f, true, false, "cat.png | 10x10 pixels | 35% | Back Layer On"},
        {"\\cat.png", 1, 1, false, 0.05f, false, false, "\\cat.png | 1x1 pixels | 5% | Back Layer Off"},
        {"cat.png", 200, 100, false, 2.0f, true, false, "cat.png | 200x100 pixels | 200% | Back Layer On"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(artwork::windowTitle(c.name, c.w, c.h, c.alpha, c.zoom, c.showBack, c.backAlpha), c.want);
}

TEST(BackgroundDetection, TieGoesToTheLowerClassFromTheLastColumn) {
    Picture p(4, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) x < 2 ? p.set(x, y, 255, 255, 255) : p.set(x, y, 0, 0, 0);
    p.set(3, 2, 1, 1, 0);  // same class as black, the last pixel of the scan
    p.set(2, 0, 2, 0, 0);
    Rgb bg{9, 9, 9};
    ASSERT_TRUE(artwork::findBcgColor(p.span(), bg));
    EXPECT_TRUE(sameRgb(bg, Rgb{1, 1, 0})) << rgbText(bg);

    p.fill(10, 10, 10);
    p.set(0, 0, 200, 200, 200);
    p.set(3, 0, 90, 90, 90);  // a lone pixel of another class
    ASSERT_TRUE(artwork::findBcgColor(p.span(), bg));
    EXPECT_TRUE(sameRgb(bg, Rgb{10, 10, 10}));
}

TEST(BackgroundDetection, WithAlphaTheFirstTransparentPixelByColumns) {
    Picture p(6, 8, 4);
    p.fill(100, 100, 100, 255);
    p.set(5, 0, 1, 2, 3, 0);
    p.set(0, 7, 4, 5, 6, 0);
    Rgb bg{9, 9, 9};
    ASSERT_TRUE(artwork::findBcgColor(p.span(), bg));
    EXPECT_TRUE(sameRgb(bg, Rgb{4, 5, 6}));

    p.fill(100, 100, 100, 1);
    EXPECT_FALSE(artwork::findBcgColor(p.span(), bg));
    EXPECT_TRUE(sameRgb(bg, Rgb{4, 5, 6}));
}

TEST(Premultiply, ColourScaledAndAlphaFromTheDistance) {
    Picture p(2, 1, 4);
    p.set(0, 0, 200, 100, 50, 128);
    p.set(1, 0, 255, 255, 255, 0);
    artwork::premultiplyAlpha(p.span(), Rgb{0, 0, 0});
    const unsigned char want[8] = {100, 50, 25, 57, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(p.px.data(), want, 8));
}

// --- New artwork --------------------------------------------------------------------

TEST(NewArtwork, LayersInTheBackgroundColour) {
    Layers l;
    ASSERT_TRUE(artwork::newArtworkLayers(l.front, l.back, l.display, 640, 480, true, Rgb{255, 255, 255}));
    for (ofImage* img : {&l.front, &l.back, &l.display}) {
        ASSERT_EQ(img->width, 640);
        ASSERT_EQ(img->height, 480);
        ASSERT_EQ(img->imageType, OF_IMAGE_COLOR_ALPHA);
        EXPECT_FALSE(img->useTexture);
        const unsigned char* px = img->getPixels();
        for (size_t i = 0; i < 640u * 480u * 4u; i += 4) {
            ASSERT_EQ(px[i], 255);
            ASSERT_EQ(px[i + 2], 255);
            ASSERT_EQ(px[i + 3], 0);
        }
    }
    ASSERT_TRUE(artwork::newArtworkLayers(l.front, l.back, l.display, 30, 20, false, Rgb{1, 2, 3}));
    EXPECT_EQ(l.front.imageType, OF_IMAGE_COLOR);
    EXPECT_EQ(l.display.getPixels()[2], 3);
    EXPECT_FALSE(artwork::newArtworkLayers(l.front, l.back, l.display, 0, 20, false, Rgb{}));
    EXPECT_FALSE(artwork::newArtworkLayers(l.front, l.back, l.display, -5, 20, false, Rgb{}));
    EXPECT_FALSE(artwork::newArtworkLayers(l.front, l.back, l.display, 50000, 50000, true, Rgb{}));
}

// --- Opening --------------------------------------------------------------------------

TEST(OpenArtwork, BackgroundFromTheOptionTheCommentOrThePicture) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    Picture pic(12, 8, 3);
    pic.fill(90, 90, 90);
    for (int x = 0; x < 12; ++x) pic.set(x, 3, 250, 250, 250);
    const Rgb detected{90, 90, 90};

    ASSERT_TRUE(pic.write(dir.path("comment.png")));
    ASSERT_TRUE(writeComment(dir.path("comment.png"), "bRGB 10 20 30"));
    ASSERT_TRUE(pic.write(dir.path("comment.Png")));
    ASSERT_TRUE(writeComment(dir.path("comment.Png"), "bRGB 10 20 30"));
    ASSERT_TRUE(pic.write(dir.path("short.png")));
    ASSERT_TRUE(writeComment(dir.path("short.png"), "bRGB 1 2"));
    ASSERT_TRUE(pic.write(dir.path("plain.png")));
    ASSERT_TRUE(pic.write(dir.path("plain.jpg")));
    ASSERT_TRUE(svctest::writeFile(dir.path("comment.jpeg"),
                                   withJpegComment(svctest::readFile(dir.path("plain.jpg")), "bRGB 1 2 3")));

    struct Case {
        std::string name;
        bool findAuto;
        Rgb want;
    };
    const Rgb chosen{7, 8, 9};
    const Case cases[] = {
        {"comment.png", true, {10, 20, 30}},  {"comment.png", false, chosen}, {"comment.Png", true, detected},
        {"short.png", true, detected},        {"plain.png", true, detected},  {"comment.jpeg", true, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        Layers l;
        artwork::OpenOptions options;
        options.chosen = chosen;
        options.findAuto = c.findAuto;
        artwork::OpenResult result;
        ASSERT_EQ(open(l, dir.path(c.name), options, result), artwork::OpenStatus::kOpened) << c.name;
        EXPECT_TRUE(sameRgb(result.bg, c.want)) << c.name << " gave " << rgbText(result.bg);
        EXPECT_EQ(result.width, 12);
        EXPECT_EQ(result.height, 8);
        EXPECT_FALSE(result.alpha);
    }
}

TEST(OpenArtwork, GreyBecomesColourAndAlphaIsKept) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    Picture grey(5, 4, 1);
    for (size_t i = 0; i < grey.px.size(); ++i) grey.px[i] = static_cast<unsigned char>(i * 10);
    ASSERT_TRUE(grey.write(dir.path("grey.png")));
    Picture rgba(5, 4, 4);
    rgba.fill(200, 100, 50, 128);
    rgba.set(4, 3, 0, 0, 0, 0);
    ASSERT_TRUE(rgba.write(dir.path("rgba.png")));

    Layers l;
    artwork::OpenResult result;
    ASSERT_EQ(open(l, dir.path("grey.png"), {}, result), artwork::OpenStatus::kOpened);
    EXPECT_EQ(l.front.imageType, OF_IMAGE_COLOR);
    EXPECT_EQ(l.display.imageType, OF_IMAGE_COLOR);
    EXPECT_FALSE(result.alpha);
    EXPECT_EQ(l.front.getPixels()[3 * 7 + 1], 70);

    artwork::OpenOptions premultiply;
    premultiply.premultiply = true;
    ASSERT_EQ(open(l, dir.path("rgba.png"), premultiply, result), artwork::OpenStatus::kOpened);
    EXPECT_TRUE(result.alpha);
    EXPECT_TRUE(result.backAlpha);
    EXPECT_EQ(l.display.imageType, OF_IMAGE_COLOR_ALPHA);
    const unsigned char want[4] = {100, 50, 25, 57};
    EXPECT_EQ(0, std::memcmp(l.front.getPixels(), want, 4));
    // The old back layer (from the grey picture) now fits the new canvas.
    EXPECT_EQ(l.back.width, 5);
    EXPECT_EQ(l.back.imageType, OF_IMAGE_COLOR_ALPHA);
    // The display starts as a copy of the front layer.
    EXPECT_EQ(0, std::memcmp(l.display.getPixels(), l.front.getPixels(), 5 * 4 * 4));
}

TEST(OpenArtwork, AnUnreadableFileChangesNothing) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    ASSERT_TRUE(svctest::writeFile(dir.path("text.png"), "not a picture at all"));
    Layers l;
    ASSERT_TRUE(artwork::newArtworkLayers(l.front, l.back, l.display, 8, 8, false, Rgb{3, 3, 3}));
    for (const char* name : {"text.png", "missing.png", ""}) {
        EXPECT_FALSE(artwork::readArtworkPicture(l.front, dir.path(name)));
        EXPECT_EQ(l.front.width, 8);
        EXPECT_EQ(l.front.getPixels()[0], 3);
    }
}

TEST(OpenBackLayer, StretchedToTheCanvasAndConvertedToItsDepth) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    Picture small(2, 2, 3);
    small.fill(40, 80, 120);
    ASSERT_TRUE(small.write(dir.path("small.png")));

    Layers l;
    ASSERT_TRUE(artwork::newArtworkLayers(l.front, l.back, l.display, 30, 20, true, Rgb{0, 0, 0}));
    l.front.getPixels()[0] = 99;
    EXPECT_EQ(artwork::loadBackLayer(l.back, dir.path("small.png"), 30, 20, true, Rgb{0, 0, 0}),
              artwork::BackStatus::kLoaded);
    EXPECT_EQ(l.back.width, 30);
    EXPECT_EQ(l.back.height, 20);
    EXPECT_EQ(l.back.imageType, OF_IMAGE_COLOR_ALPHA);
    const unsigned char* centre = l.back.getPixels() + (10 * 30 + 15) * 4;
    EXPECT_EQ(centre[0], 40);
    EXPECT_EQ(centre[2], 120);
    EXPECT_EQ(l.front.getPixels()[0], 99);

    EXPECT_EQ(artwork::loadBackLayer(l.back, dir.path("missing.png"), 30, 20, true, Rgb{0, 0, 0}),
              artwork::BackStatus::kNotRead);
    EXPECT_EQ(l.back.width, 30);
    EXPECT_EQ(l.back.getPixels()[0], 40);
}

// --- Saving ----------------------------------------------------------------------------

// Save and reopen: every alpha-holding format, with and without alpha, gives
// back the same pixels and the background colour.
TEST(SaveArtwork, RoundTripsKeepPixelsAndBackground) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Rgb bg{30, 60, 90};
    struct Case {
        const char* name;
        bool exportFile;
    };
    const Case cases[] = {{"a.png", false}, {"b.png", true}, {"c.tga", true}, {"d.tif", true},
                          {"e.bmp", true},  {"f.TIFF", true}, {"g", false}};
    for (const Case& c : cases)
        for (int bpp : {3, 4}) {
            SCOPED_TRACE(testing::Message() << c.name << " bpp " << bpp);
            Picture art = painting(9, 7, bpp, bg);
            artwork::SaveOptions options;
            options.exportFile = c.exportFile;
            options.withAlpha = bpp == 4;
            options.bg = bg;
            const std::string path = dir.path(std::to_string(bpp) + c.name);
            std::string why;
            ASSERT_TRUE(artwork::saveArtwork(path, art.span(), art.span(), options, &why)) << why;

            Layers l;
            artwork::OpenResult result;
            artwork::OpenOptions reopen;
            reopen.chosen = {1, 1, 1};
            ASSERT_EQ(open(l, path, reopen, result), artwork::OpenStatus::kOpened);
            EXPECT_EQ(result.alpha, bpp == 4);
            EXPECT_TRUE(sameRgb(result.bg, bg)) << rgbText(result.bg);
            ASSERT_EQ(result.width, 9);
            ASSERT_EQ(result.height, 7);
            EXPECT_EQ(0, std::memcmp(l.front.getPixels(), art.px.data(), art.px.size()));
        }
    // No extension: a PNG under exactly that name.
    EXPECT_EQ(svctest::readFile(dir.path("3g")).substr(1, 3), "PNG");
    EXPECT_EQ(svctest::listDir(dir.root()).size(), 14u);  // nothing left behind
}

TEST(SaveArtwork, NativePngRestoresTheBackgroundThroughItsComment) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Rgb bg{30, 60, 90};
    for (int bpp : {3, 4}) {
        Picture art(6, 5, bpp);
        art.fill(200, 10, 10, canvas::canvasAlpha(200, 10, 10, bg));  // detection would not find bg
        artwork::SaveOptions options;
        options.withAlpha = bpp == 4;
        options.bg = bg;
        const std::string path = dir.path("art" + std::to_string(bpp) + ".png");
        ASSERT_TRUE(artwork::saveArtwork(path, art.span(), art.span(), options));
        MetadataHandler handler(wxString::FromUTF8(path.c_str()));
        ASSERT_TRUE(handler.CommentExistsPNG() && handler.ReadCommentPng());
        EXPECT_STREQ(handler.comment, "bRGB 30 60 90");
        Layers l;
        artwork::OpenResult result;
        ASSERT_EQ(open(l, path, {}, result), artwork::OpenStatus::kOpened);
        EXPECT_TRUE(sameRgb(result.bg, bg)) << rgbText(result.bg);
    }
}

TEST(SaveArtwork, FormatsWithoutAlphaGet24Bits) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Rgb bg{0, 0, 0};
    Picture art = painting(16, 16, 4, bg);
    artwork::SaveOptions options;
    options.exportFile = true;
    options.withAlpha = true;
    options.bg = bg;
    for (const char* name : {"x.jpg", "x.JPEG"}) {
        ASSERT_TRUE(artwork::saveArtwork(dir.path(name), art.span(), art.span(), options)) << name;
        EXPECT_EQ(bitsOfFile(dir.path(name)), 24) << name;
    }
    options.withAlpha = false;  // alpha not asked for: 24 bits even in PNG
    ASSERT_TRUE(artwork::saveArtwork(dir.path("x.png"), art.span(), art.span(), options));
    EXPECT_EQ(bitsOfFile(dir.path("x.png")), 24);
}

TEST(SaveArtwork, StraightAlphaAndTheShownBackLayer) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const Rgb bg{0, 0, 0};
    Picture front(4, 1, 4), back(4, 1, 4);
    front.set(0, 0, 100, 50, 25, 128);
    front.set(1, 0, 200, 0, 0, 66);   // the conversion overshoots: clamped
    front.set(2, 0, 9, 9, 9, 0);      // fully transparent: the background colour
    front.set(3, 0, 10, 20, 30, 255);
    back.fill(5, 5, 5, 255);
    back.set(2, 0, 5, 5, 5, 100);

    artwork::SaveOptions options;
    options.exportFile = true;
    options.withAlpha = true;
    options.straightAlpha = true;
    options.bg = bg;
    ASSERT_TRUE(artwork::saveArtwork(dir.path("s.png"), front.span(), back.span(), options));
    ofImage img;
    img.setUseTexture(false);
    ASSERT_TRUE(img.loadImage(dir.path("s.png")));
    const unsigned char straight[16] = {199, 100, 50, 128, 255, 0, 0, 66, 0, 0, 0, 0, 10, 20, 30, 255};
    EXPECT_EQ(0, std::memcmp(img.getPixels(), straight, 16));

    // With the back layer shown an export writes what is seen; the native
    // save writes the front layer alone.
    options.straightAlpha = false;
    options.showBack = true;
    ASSERT_TRUE(artwork::saveArtwork(dir.path("seen.png"), front.span(), back.span(), options));
    ASSERT_TRUE(img.loadImage(dir.path("seen.png")));
    const unsigned char seen[16] = {105, 55, 30, 255, 205, 5, 5, 255, 14, 14, 14, 100, 15, 25, 35, 255};
    EXPECT_EQ(0, std::memcmp(img.getPixels(), seen, 16));
    options.exportFile = false;
    ASSERT_TRUE(artwork::saveArtwork(dir.path("native.png"), front.span(), back.span(), options));
    ASSERT_TRUE(img.loadImage(dir.path("native.png")));
    EXPECT_EQ(0, std::memcmp(img.getPixels(), front.px.data(), 16));
}

// Every failure leaves an existing file exactly as it was and nothing beside it.
TEST(SaveArtwork, FailuresLeaveTheOldFileIntact) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    Picture art = painting(8, 8, 3, Rgb{0, 0, 0});
    const std::string old = "the old file";
    artwork::SaveOptions options;

    for (const char* name : {"x.xyz", "sub"}) {
        if (std::string(name) == "sub") {
            ASSERT_EQ(mkdir(dir.path("sub").c_str(), 0755), 0);
        } else {
            ASSERT_TRUE(svctest::writeFile(dir.path(name), old));
        }
        std::string why;
        EXPECT_FALSE(artwork::saveArtwork(dir.path(name), art.span(), art.span(), options, &why)) << name;
        EXPECT_FALSE(why.empty());
    }
    EXPECT_EQ(svctest::readFile(dir.path("x.xyz")), old);
    EXPECT_EQ(svctest::listDir(dir.root()).size(), 2u);
}

TEST(SaveArtwork, UnwritableFolderFailsAndKeepsTheOldFile) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string folder = dir.path("locked");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_TRUE(svctest::writeFile(folder + "/x.png", "the old file"));
    svctest::asUnprivileged(dir.root(), [&] {
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
        Picture art = painting(8, 8, 3, Rgb{0, 0, 0});
        EXPECT_FALSE(artwork::saveArtwork(folder + "/x.png", art.span(), art.span(), {}));
        EXPECT_EQ(svctest::readFile(folder + "/x.png"), "the old file");
        EXPECT_EQ(svctest::listDir(folder).size(), 1u);
        chmod(folder.c_str(), 0755);
    });
}

// A full disk, made with a file-size limit (which root obeys too).
TEST(SaveArtwork, FullDiskFailsAndKeepsTheOldFile) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    const std::string path = dir.path("x.png");
    ASSERT_TRUE(svctest::writeFile(path, "the old file"));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    Picture art(300, 300, 3);
    std::srand(3);
    for (unsigned char& c : art.px) c = static_cast<unsigned char>(std::rand());

    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string why;
    const bool saved_ok = artwork::saveArtwork(path, art.span(), art.span(), {}, &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(svctest::readFile(path), "the old file");
    EXPECT_EQ(svctest::listDir(dir.root()).size(), 1u);

    // With room again the save replaces it and keeps its mode.
    ASSERT_TRUE(artwork::saveArtwork(path, art.span(), art.span(), {}));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(bitsOfFile(path), 24);
}

}  // namespace
