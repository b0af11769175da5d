// What the drawing window shows over the screen image, read back from a real
// GL window: the canvas frame, the layer panel and its badges, the brush
// cursor, the eraser ring and the brush-capture box. Frame, panel and
// capture are checked against a picture composed here from their sizes and
// colours; the cursors as the difference they make to the window.

#include "tests/gl_fixture.h"  // GLEW before any other GL header

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/ofAppBaseWindow.h"
#include "framework/ofAppRunner.h"
#include "framework/ofGraphics.h"
#include "tests/engine_paint_fixture.h"

namespace {

constexpr int kWinW = 960, kWinH = 682;

// The framework's window: the test's GLUT window on the X screen.
class TestWindow : public ofAppBaseWindow {
public:
    ofPoint getWindowSize() override {
        return ofPoint(static_cast<float>(glutGet(GLUT_WINDOW_WIDTH)), static_cast<float>(glutGet(GLUT_WINDOW_HEIGHT)));
    }
    ofPoint getScreenSize() override {
        return ofPoint(static_cast<float>(glutGet(GLUT_SCREEN_WIDTH)), static_cast<float>(glutGet(GLUT_SCREEN_HEIGHT)));
    }
};

// The paint host on a real window: sizes, textures, uploads and screen grabs
// go through the program's own host.
struct GlHost : painttest::PaintHost {
    std::unique_ptr<StandardEngineHost> real;
    bool hasWindow() override { return true; }
    int screenWidth() override { return real->screenWidth(); }
    int screenHeight() override { return real->screenHeight(); }
    int windowWidth() override { return real->windowWidth(); }
    int windowHeight() override { return real->windowHeight(); }
    int maxTextureSize() override { return real->maxTextureSize(); }
    bool grabScreen(ofImage& image, int x, int y, int w, int h) override { return real->grabScreen(image, x, y, w, h); }
    void uploadRect(ofImage& image, int x, int y, int w, int h) override { real->uploadRect(image, x, y, w, h); }
};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::string show(const Rgb& c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

const Rgb kWorkspace{114, 110, 106};
const Rgb kPanel{64, 62, 60};
const Rgb kBlack{0, 0, 0};
const Rgb kWhite{255, 255, 255};
Rgb grey(int g) { return Rgb{g, g, g}; }

// An RGB window-sized picture, rows top-down.
struct Picture {
    std::vector<unsigned char> px = std::vector<unsigned char>(static_cast<size_t>(kWinW) * kWinH * 3);
    // Pixels any colour may take: the corners of outlines, which GL lights
    // or not depending on where the line ends.
    std::vector<bool> open = std::vector<bool>(static_cast<size_t>(kWinW) * kWinH, false);

    unsigned char* at(int x, int y) { return &px[(static_cast<size_t>(y) * kWinW + x) * 3]; }
    Rgb get(int x, int y) const {
        const unsigned char* p = &px[(static_cast<size_t>(y) * kWinW + x) * 3];
        return Rgb{p[0], p[1], p[2]};
    }
    // `colour` over the pixel with opacity alpha / 255.
    void put(int x, int y, Rgb c, int alpha = 255) {
        if (x < 0 || y < 0 || x >= kWinW || y >= kWinH) return;
        unsigned char* p = at(x, y);
        const int src[3] = {c.r, c.g, c.b};
        for (int i = 0; i < 3; ++i) p[i] = static_cast<unsigned char>((src[i] * alpha + p[i] * (255 - alpha) + 127) / 255);
    }
    void fill(int x, int y, int w, int h, Rgb c, int alpha = 255) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) put(i, j, c, alpha);
    }
    // The one-pixel outline GL draws for a rectangle with these float edges:
    // an edge lights the pixel it runs through; an edge on a pixel boundary
    // lights the pixel on its lower side in GL's bottom-up rows, that is the
    // one left of it or below it here.
    void outline(float x, float y, float w, float h, Rgb c) {
        const auto column = [](float v) { return v == std::floor(v) ? static_cast<int>(v) - 1 : static_cast<int>(std::floor(v)); };
        const auto row = [](float v) { return static_cast<int>(std::floor(v)); };
        const int x0 = column(x), x1 = column(x + w), y0 = row(y), y1 = row(y + h);
        for (int i = x0; i <= x1; ++i) {
            put(i, y0, c);
            put(i, y1, c);
        }
        for (int j = y0; j <= y1; ++j) {
            put(x0, j, c);
            put(x1, j, c);
        }
        for (int cx : {x0, x1})
            for (int cy : {y0, y1})
                if (cx >= 0 && cy >= 0 && cx < kWinW && cy < kWinH) open[static_cast<size_t>(cy) * kWinW + cx] = true;
    }
    // An image's pixels at (x, y); with blending, RGBA pixels by their alpha.
    void image(const ofImage& img, int x, int y, bool blend) {
        const ofPixels& p = img.pixelBuffer;
        ASSERT_TRUE(p.allocated);
        for (int j = 0; j < p.height; ++j)
            for (int i = 0; i < p.width; ++i) {
                const unsigned char* s = p.data + (static_cast<size_t>(j) * p.width + i) * p.channelCount;
                const int alpha = blend && p.channelCount == 4 ? s[3] : 255;
                put(x + i, y + j, Rgb{s[0], s[1], s[2]}, alpha);
            }
    }
};

// Where `seen` differs from `expected` by more than GL's rounding.
std::string differences(const Picture& seen, const Picture& expected) {
    int count = 0;
    std::ostringstream first;
    for (int y = 0; y < kWinH; ++y)
        for (int x = 0; x < kWinW; ++x) {
            if (expected.open[static_cast<size_t>(y) * kWinW + x]) continue;
            const Rgb a = seen.get(x, y), b = expected.get(x, y);
            if (std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1) continue;
            if (++count <= 6) first << " (" << x << ", " << y << ") is " << show(a) << ", not " << show(b) << ";";
        }
    if (count == 0) return "";
    return std::to_string(count) + " pixels differ:" + first.str();
}

class Overlays : public enginetest::EngineFixture<wyrleApp, GlHost> {
protected:
    void SetUp() override {
        if (!testgl::ensureWindow(kWinW, kWinH)) GTEST_SKIP() << "no X display";
        static TestWindow window;
        ofSetupOpenGL(&window, 0, 0, 0);
        EngineFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(glutGet(GLUT_WINDOW_WIDTH), kWinW);
        ASSERT_EQ(glutGet(GLUT_WINDOW_HEIGHT), kWinH);
        ASSERT_EQ(mkdir("data", 0755), 0);
        for (const char* name : {"icon_alpha", "icon_front", "icon_back", "icon_brush", "icon_paint"}) {
            const std::string file = std::string("data/") + name + ".png";
            ASSERT_TRUE(svctest::writeFile(file, svctest::readFile(std::string(WYRLE_SOURCE_DIR) + "/" + file)));
        }
        host.engine = engine.get();
        host.real = std::make_unique<StandardEngineHost>(*engine);
        engine->mouseX = 400;
        engine->mouseY = 300;
        engine->setup();
        frames(3);
    }

    // The display callback as the program's window runs it, without the swap.
    void display() {
        glViewport(0, 0, kWinW, kWinH);
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ofSetupScreen();
        engine->draw();
        glFinish();
    }
    void frame() {
        engine->update();
        display();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }

    // A new canvas in `bg`, with or without alpha; the two layers then get
    // patterns of their own, so that their thumbnails differ.
    void newCanvas(Rgb bg, bool alpha) {
        f_bcgR = bg.r;
        f_bcgG = bg.g;
        f_bcgB = bg.b;
        f_alphaBCG = alpha ? 1 : 0;
        f_workState = kWorkNewArtwork;
        frames(2);
        ASSERT_EQ(engine->frontSpan().bpp, alpha ? 4 : 3);
        ASSERT_EQ(engine->backSpan().bpp, alpha ? 4 : 3);
    }
    void patternLayers() {
        const canvas::PixelSpan layers[2] = {engine->frontSpan(), engine->backSpan()};
        for (int l = 0; l < 2; ++l) {
            const canvas::PixelSpan s = layers[l];
            for (int y = 0; y < s.h; ++y)
                for (int x = 0; x < s.w; ++x) {
                    uint8_t* p = s.px + (static_cast<size_t>(y) * s.w + x) * s.bpp;
                    p[0] = static_cast<uint8_t>(l ? 255 - x / 4 : x / 4);
                    p[1] = static_cast<uint8_t>(l ? y / 3 : 200);
                    p[2] = static_cast<uint8_t>(l ? 40 : y / 3);
                    if (s.bpp == 4) p[3] = 255;
                }
        }
        engine->updateAllTexture();
        frame();
    }

    Picture window() {
        std::vector<unsigned char> up(static_cast<size_t>(kWinW) * kWinH * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWinW, kWinH, GL_RGB, GL_UNSIGNED_BYTE, up.data());
        Picture out;
        const size_t row = static_cast<size_t>(kWinW) * 3;
        for (int y = 0; y < kWinH; ++y) std::memcpy(&out.px[y * row], &up[(kWinH - 1 - y) * row], row);
        return out;
    }
    // The window as the screen image alone would show it.
    Picture screenImage() {
        const ofPixels& s = engine->screenImage.pixelBuffer;
        Picture out;
        const size_t row = static_cast<size_t>(kWinW) * 3;
        for (int y = 0; y < kWinH; ++y) std::memcpy(&out.px[y * row], s.data + static_cast<size_t>(y) * s.width * 3, row);
        return out;
    }
    // The window drawn with the cursors hidden and shown.
    std::vector<std::pair<int, int>> cursorPixels(Picture& with) {
        f_showCursor = false;
        display();
        const Picture without = window();
        f_showCursor = true;
        display();
        with = window();
        std::vector<std::pair<int, int>> changed;
        for (int y = 0; y < kWinH; ++y)
            for (int x = 0; x < kWinW; ++x)
                if (!(with.get(x, y) == without.get(x, y))) changed.push_back({x, y});
        return changed;
    }

    // The canvas frame over `pic`, in the grey for the background colour.
    void expectFrame(Picture& pic) {
        const float s = f_scalez.load();
        const int sum = f_bcgR.load() + f_bcgG.load() + f_bcgB.load();
        pic.outline(s * engine->canvasOffsetX - 0.25f, s * engine->canvasOffsetY - 0.25f,
                    engine->canvasWidth * s + 0.5f, engine->canvasHeight * s + 0.5f, grey(sum < 380 ? 185 : 70));
    }
    // The layer panel at the right edge of the view.
    void expectPanel(Picture& pic) {
        const int V = engine->viewWidth;
        const bool both = f_showBcg.load();
        pic.fill(V - 70, 0, 70, both ? 130 : 70, kPanel, both ? 90 : 80);
        for (int i = 0; i < (both ? 2 : 1); ++i) {
            pic.fill(V - 62, 8 + 60 * i, 54, 54, grey(180));
            pic.fill(V - 61, 9 + 60 * i, 52, 52, grey(60));
        }
        pic.image(engine->frontThumbnail, V - 60, 10, false);
        if (both) {
            pic.image(engine->backThumbnail, V - 60, 70, false);
            pic.image(engine->iconFront, V - 61, 9, true);
            pic.image(engine->iconBack, V - 61, 69, true);
        }
        if (f_alphaBCG.load() == 1) pic.image(engine->iconAlpha, V - 17, 9, true);
        if (both && f_alphaBCGload.load() == 1) pic.image(engine->iconAlpha, V - 17, 69, true);
    }
};

// ---- Canvas frame and layer panel ----

struct PanelCase {
    const char* name;
    Rgb bg;
    bool alpha;
    bool showBack;
    int showLayers;
    int zoomPos;  // 2 is 100 %
};

TEST_F(Overlays, CanvasFrameAndLayerPanelHaveTheirSizesPlacesAndColours) {
    const PanelCase cases[] = {
        {"dark background, back hidden", {0, 0, 0}, false, false, 1, 2},
        {"sum 379 is dark, back shown", {127, 127, 125}, false, true, 1, 2},
        {"sum 380 is light, alpha, back hidden", {127, 127, 126}, true, false, 1, 2},
        {"light background, alpha, back shown", {255, 255, 255}, true, true, 1, 2},
        {"panel off", {255, 255, 255}, false, true, 0, 2},
        {"zoomed out to 50 %", {255, 255, 255}, true, true, 1, 4},
        {"zoomed in to 200 %", {0, 0, 0}, false, false, 1, 0},
    };
    for (const PanelCase& c : cases) {
        SCOPED_TRACE(c.name);
        newCanvas(c.bg, c.alpha);
        if (HasFatalFailure()) return;
        patternLayers();
        f_scalezRangePos = c.zoomPos;
        f_centerTexture = true;
        frames(2);
        f_showBcg = c.showBack;
        f_changeShowLayers = c.showLayers;
        f_showCursor = false;
        frames(2);

        Picture expected = screenImage();
        expectFrame(expected);
        if (c.showLayers == 1) expectPanel(expected);
        const std::string diff = differences(window(), expected);
        EXPECT_EQ(diff, "");
        f_scalezRangePos = 2;
        f_centerTexture = true;
        f_changeShowLayers = 1;
        frames(2);
    }
}

// ---- Cursors ----

TEST_F(Overlays, BrushCursorMarksEachParticleButTheFirstBlackOnLightPaint) {
    newCanvas(kWhite, false);
    if (HasFatalFailure()) return;
    f_painterz = true;
    f_eraserz = false;
    f_changeShowLayers = 0;
    frame();
    // Particles on a line that runs from the white canvas over its frame
    // onto the workspace; the canvas starts at window x 80.
    const int count = engine->brush.partNum;
    ASSERT_GE(count, 10);
    for (int i = 0; i < count; ++i) {
        engine->last2X[i] = 20.5f + 3 * i;
        engine->last2Y[i] = 300.5f + (i % 2) * 5;
    }
    Picture with;
    const std::vector<std::pair<int, int>> changed = cursorPixels(with);
    EXPECT_EQ(static_cast<int>(changed.size()), count - 1) << "one pixel per particle";
    for (int i = 1; i < count; ++i) {
        const int x = static_cast<int>(engine->last2X[i]), y = static_cast<int>(engine->last2Y[i]);
        const bool onCanvas = x >= 80 && x < 880;
        EXPECT_EQ(show(with.get(x, y)), show(onCanvas ? kBlack : kWhite)) << "particle " << i << " at " << x;
    }
    const Rgb first = with.get(20, 300);
    EXPECT_EQ(show(first), show(kWorkspace)) << "the first particle has no mark";
}

TEST_F(Overlays, EraserRingHasItsRadiusAllRoundAndTakesItsColourFromTheCanvas) {
    struct RingCase {
        float size;
        int zoomPos;
        double radius;
    };
    const RingCase cases[] = {{35, 2, 28.0}, {50, 4, 20.0}, {20, 0, 32.0}};
    newCanvas(kWhite, false);
    if (HasFatalFailure()) return;
    f_painterz = false;
    f_eraserz = true;
    f_changeShowLayers = 0;
    for (const RingCase& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + " at zoom position " + std::to_string(c.zoomPos));
        f_eraserzSize = c.size;
        f_scalezRangePos = c.zoomPos;
        f_centerTexture = true;
        frames(2);
        // The pointer just right of the canvas's left edge, so that the
        // ring's left part lies over the workspace, when that edge shows.
        const float edge = engine->screenOffsetX;
        const float cy = 300.5f;
        const float cx = edge > 40 ? edge + 10.5f : 480.5f;
        engine->pointerX = cx;
        engine->pointerY = cy;

        Picture with;
        const std::vector<std::pair<int, int>> changed = cursorPixels(with);
        bool sector[36] = {};
        int far = 0, wrongColour = 0;
        for (const auto& [x, y] : changed) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (std::abs(d - c.radius) > 1.5) ++far;
            const int angle = static_cast<int>(std::floor(std::atan2(dy, dx) * 180 / M_PI + 360)) % 360;
            sector[angle / 10] = true;
            // Off the canvas the ring is white, on the white canvas black.
            if (x < edge - 2 && !(with.get(x, y) == kWhite)) ++wrongColour;
            if (x > edge + 2 && !(with.get(x, y) == kBlack)) ++wrongColour;
        }
        EXPECT_GT(changed.size(), 2 * M_PI * c.radius * 0.8);
        EXPECT_EQ(far, 0) << "pixels off the ring of radius " << c.radius;
        EXPECT_EQ(wrongColour, 0);
        for (int s = 0; s < 36; ++s) EXPECT_TRUE(sector[s]) << "no ring between " << s * 10 << " and " << s * 10 + 10 << " degrees";
    }
}

// ---- Brush capture ----

TEST_F(Overlays, BrushCaptureShowsTheBoxAndTheIconPreviewAndNeitherFrameNorPanel) {
    newCanvas(Rgb{30, 60, 90}, false);
    if (HasFatalFailure()) return;
    patternLayers();
    f_changeShowLayers = 1;
    f_showCursor = false;
    f_newBrushPreset = 1;
    frames(3);
    ASSERT_EQ(f_newBrushPreset.load(), 2);
    const int bx = engine->captureBoxX, by = engine->captureBoxY;
    ASSERT_EQ(bx, kWinW / 2 - 128);
    ASSERT_EQ(by, kWinH / 2 - 128);

    Picture expected = screenImage();
    expected.outline(bx, by, 256, 256, grey(180));
    expected.outline(bx + 1, by + 1, 254, 254, grey(60));
    expected.image(engine->iconPaint, bx + 78, by + 1, true);
    expected.fill(bx + 84, by - 130, 84, 84, kPanel, 90);
    expected.fill(bx + 92, by - 122, 68, 68, grey(180));
    expected.fill(bx + 93, by - 121, 66, 66, grey(60));
    expected.image(engine->capturePreview, bx + 94, by - 120, false);
    expected.image(engine->iconBrush, bx + 102, by - 121, true);
    EXPECT_EQ(differences(window(), expected), "");

    // The preview is the grabbed box made small: its centre shows the
    // canvas at the window's centre.
    const Rgb centre = screenImage().get(kWinW / 2, kWinH / 2);
    const Rgb shown = window().get(bx + 94 + 32, by - 120 + 32);
    EXPECT_LE(std::abs(shown.r - centre.r) + std::abs(shown.g - centre.g) + std::abs(shown.b - centre.b), 12)
        << show(shown) << " vs " << show(centre);

    // Ended: the frame and the panel are back.
    f_newBrushPreset = 3;
    frames(3);
    Picture after = screenImage();
    expectFrame(after);
    expectPanel(after);
    EXPECT_EQ(differences(window(), after), "");
}

}  // namespace
