// Textures against a real GL context (Xvfb): storage, upload limits, the
// drawn quad and what actually lands in the window, on both the rectangle
// and the power-of-two path.

#include <functional>
#include <vector>

#include "framework/ofGraphics.h"
#include "framework/ofTexture.h"
#include "tests/image_fixtures.h"
#include "tests/image_gl_helpers.h"

using namespace imgtest;

namespace {

enum class Path { Rectangle, PowerOfTwo };

void PrintTo(Path p, std::ostream* os) { *os << (p == Path::Rectangle ? "rectangle" : "power of two"); }

class TexturePaths : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        REQUIRE_GL_WINDOW();
        if (GetParam() == Path::Rectangle && !GLEW_ARB_texture_rectangle)
            GTEST_SKIP() << "no GL_ARB_texture_rectangle";
        pixelScreen();
        ofSetRectMode(OF_RECTMODE_CORNER);
    }
    bool rect() const { return GetParam() == Path::Rectangle; }
};

std::string pathName(const ::testing::TestParamInfo<Path>& info) {
    return info.param == Path::Rectangle ? "Rectangle" : "PowerOfTwo";
}

GLint storageSize(const ofTexture& tex, GLenum which) {
    GLint v = 0;
    glBindTexture(tex.target, tex.textureId);
    glGetTexLevelParameteriv(tex.target, 0, which, &v);
    glBindTexture(tex.target, 0);
    return v;
}

// Corners of what a draw sends to the rasteriser, from GL's feedback mode:
// window position (y down) and texture coordinate of every vertex.
struct Corner {
    float x, y, s, t;
};

std::vector<Corner> feedback(const std::function<void()>& draw) {
    std::vector<GLfloat> buf(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buf.size()), GL_3D_COLOR_TEXTURE, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<Corner> out;
    const float h = static_cast<float>(windowHeight());
    for (GLint i = 0; i < n;) {
        const GLint token = static_cast<GLint>(buf[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const GLint count = static_cast<GLint>(buf[i++]);
            for (GLint k = 0; k < count; ++k, i += 11) out.push_back({buf[i], h - buf[i + 1], buf[i + 7], buf[i + 8]});
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            ++i;
        }
    }
    return out;
}

struct Box {
    float left, top, right, bottom;
    float s0, t0;  // texture coordinate at the top-left corner
};

Box boxOf(const std::vector<Corner>& corners) {
    Box b{1e9f, 1e9f, -1e9f, -1e9f, 0, 0};
    for (const Corner& c : corners) {
        b.left = std::min(b.left, c.x);
        b.top = std::min(b.top, c.y);
        b.right = std::max(b.right, c.x);
        b.bottom = std::max(b.bottom, c.y);
    }
    for (const Corner& c : corners)
        if (c.x == b.left && c.y == b.top) {
            b.s0 = c.s;
            b.t0 = c.t;
        }
    return b;
}

}  // namespace

TEST_P(TexturePaths, StorageExtentsAndRelease) {
    ofTexture tex;
    EXPECT_FALSE(tex.bAllocated());
    tex.allocate(960, 682, GL_RGB, rect());
    ASSERT_TRUE(tex.bAllocated());
    const float allocW = rect() ? 960 : 1024, allocH = rect() ? 682 : 1024;
    EXPECT_EQ(tex.target, rect() ? GL_TEXTURE_RECTANGLE_ARB : GL_TEXTURE_2D);
    EXPECT_EQ(tex.allocWidth, allocW);
    EXPECT_EQ(tex.allocHeight, allocH);
    EXPECT_EQ(storageSize(tex, GL_TEXTURE_WIDTH), allocW);
    EXPECT_EQ(storageSize(tex, GL_TEXTURE_HEIGHT), allocH);
    EXPECT_EQ(tex.extentX, rect() ? 960.0f : 1.0f);
    EXPECT_EQ(tex.extentY, rect() ? 682.0f : 1.0f);
    EXPECT_EQ(tex.width, 960);
    EXPECT_EQ(tex.pixelType, GL_UNSIGNED_BYTE);

    std::vector<unsigned char> data(960 * 682 * 3, 0x40);
    tex.loadData(data.data(), 960, 682, GL_RGB);
    EXPECT_EQ(tex.glFormat, GL_RGB);
    EXPECT_EQ(tex.extentX, rect() ? 960.0f : 0.9375f);
    EXPECT_EQ(tex.extentY, rect() ? 682.0f : 0.666015625f);

    const GLuint id = tex.textureId;
    tex.clear();
    EXPECT_FALSE(tex.bAllocated());
    EXPECT_EQ(tex.textureId, 0u);
    EXPECT_FALSE(glIsTexture(id));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_P(TexturePaths, UploadsUpToTheStorageAndRefusesMore) {
    ofTexture tex;
    tex.allocate(5, 3, GL_RGBA, rect());
    const int fitW = static_cast<int>(tex.allocWidth), fitH = static_cast<int>(tex.allocHeight);
    std::vector<unsigned char> data(static_cast<size_t>(fitW + 1) * (fitH + 1) * 4, 0x7F);

    EXPECT_EQ(stdoutOf([&] { tex.loadData(data.data(), fitW, fitH, GL_RGBA); }), "");
    EXPECT_EQ(tex.width, fitW);

    for (const auto& size : {std::make_pair(fitW + 1, fitH), std::make_pair(fitW, fitH + 1)}) {
        const float extentX = tex.extentX;
        EXPECT_NE(stdoutOf([&] { tex.loadData(data.data(), size.first, size.second, GL_LUMINANCE); })
                      .find("image data too big for allocated texture. not uploading..."),
                  std::string::npos);
        EXPECT_EQ(tex.width, fitW);
        EXPECT_EQ(tex.height, fitH);
        EXPECT_EQ(tex.glFormat, GL_RGBA);
        EXPECT_EQ(tex.extentX, extentX);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_P(TexturePaths, QuadCornersAnchorsAndInset) {
    ofTexture tex;
    tex.allocate(960, 682, GL_RGB, rect());
    std::vector<unsigned char> data(960 * 682 * 3, 0x80);
    tex.loadData(data.data(), 960, 682, GL_RGB);

    const float in = rect() ? 0.0f : 1.0f / 1024;
    const float s0 = in, t0 = in;
    const float t1 = (rect() ? 682.0f : 0.666015625f) - in;

    struct Case {
        const char* name;
        std::function<void()> setup;
        float x, y;
        Box expect;
    };
    const Case cases[] = {
        {"corner", [] {}, 20, 30, {20, 30, 120, 80, s0, t0}},
        {"anchor percent", [&] { tex.setAnchorPercent(0.5f, 0.5f); }, 128, 128, {78, 103, 178, 153, s0, t0}},
        {"anchor percent, centre mode",
         [&] {
             tex.setAnchorPercent(0.5f, 0.5f);
             ofSetRectMode(OF_RECTMODE_CENTER);
         },
         128, 128, {28, 78, 128, 128, s0, t0}},
        {"anchor point", [&] { tex.setAnchorPoint(10, 5); }, 20, 30, {10, 25, 110, 75, s0, t0}},
        {"flipped", [&] { tex.flipped = true; }, 20, 30, {20, 30, 120, 80, s0, t1}},
        {"flipped, centre mode",
         [&] {
             tex.flipped = true;
             ofSetRectMode(OF_RECTMODE_CENTER);
         },
         128, 128, {78, 103, 178, 153, s0, t0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tex.resetAnchor();
        tex.flipped = false;
        ofSetRectMode(OF_RECTMODE_CORNER);
        c.setup();
        const std::vector<Corner> corners = feedback([&] { tex.draw(c.x, c.y, 100, 50); });
        ofSetRectMode(OF_RECTMODE_CORNER);
        ASSERT_EQ(corners.size(), 6u);  // a fan of four points: two triangles
        const Box b = boxOf(corners);
        EXPECT_FLOAT_EQ(b.left, c.expect.left);
        EXPECT_FLOAT_EQ(b.top, c.expect.top);
        EXPECT_FLOAT_EQ(b.right, c.expect.right);
        EXPECT_FLOAT_EQ(b.bottom, c.expect.bottom);
        EXPECT_FLOAT_EQ(b.s0, c.expect.s0);
        EXPECT_FLOAT_EQ(b.t0, c.expect.t0);
    }
    // The far corner samples the data's edge, less the inset.
    tex.resetAnchor();
    tex.flipped = false;
    float sMax = 0;
    for (const Corner& c : feedback([&] { tex.draw(0, 0, 100, 50); })) sMax = std::max(sMax, c.s);
    EXPECT_FLOAT_EQ(sMax, (rect() ? 960.0f : 0.9375f) - in);
}

TEST_P(TexturePaths, DrawsUprightTintedAndRestoresAlignment) {
    // 6 x 6 RGB (18-byte rows) in four flat 3 x 3 quadrants.
    const unsigned char colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<unsigned char> data(6 * 6 * 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            for (int k = 0; k < 3; ++k) data[(y * 6 + x) * 3 + k] = colours[(x / 3) + 2 * (y / 3)][k];

    ofTexture tex;
    tex.allocate(6, 6, GL_RGB, rect());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    tex.loadData(data.data(), 6, 6, GL_RGB);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    tex.draw(40, 60, 120, 120);
    EXPECT_TRUE(near(readPixel(70, 90), 255, 0, 0)) << show(readPixel(70, 90));
    EXPECT_TRUE(near(readPixel(130, 90), 0, 255, 0)) << show(readPixel(130, 90));
    EXPECT_TRUE(near(readPixel(70, 150), 0, 0, 255)) << show(readPixel(70, 150));
    EXPECT_TRUE(near(readPixel(130, 150), 255, 255, 255)) << show(readPixel(130, 150));
    EXPECT_TRUE(near(readPixel(39, 90), 0, 0, 0)) << "drawn outside the quad";
    EXPECT_TRUE(near(readPixel(160, 150), 0, 0, 0)) << "drawn outside the quad";

    // The current colour tints the texture.
    glColor4f(1, 0, 0, 1);
    tex.draw(40, 60, 120, 120);
    glColor4f(1, 1, 1, 1);
    EXPECT_TRUE(near(readPixel(130, 150), 255, 0, 0)) << show(readPixel(130, 150));
    EXPECT_TRUE(near(readPixel(130, 90), 0, 0, 0)) << show(readPixel(130, 90));
    EXPECT_FALSE(glIsEnabled(tex.target));
}

TEST_P(TexturePaths, ScreenCopyShowsUprightUntilTheNextUpload) {
    // A 40 x 20 window area: red on top, blue below.
    fillRect(10, 10, 40, 10, 1, 0, 0);
    fillRect(10, 20, 40, 10, 0, 0, 1);
    ofTexture tex;
    tex.allocate(40, 20, GL_RGB, rect());
    tex.loadScreenData(10, 10, 40, 20);
    EXPECT_TRUE(tex.flipped);
    EXPECT_EQ(tex.glFormat, GL_RGB);

    glClear(GL_COLOR_BUFFER_BIT);
    tex.draw(100, 100, 80, 40);
    EXPECT_TRUE(near(readPixel(140, 110), 255, 0, 0)) << show(readPixel(140, 110));
    EXPECT_TRUE(near(readPixel(140, 130), 0, 0, 255)) << show(readPixel(140, 130));

    std::vector<unsigned char> data(40 * 20 * 3, 0);
    tex.loadData(data.data(), 40, 20, GL_RGB);
    EXPECT_FALSE(tex.flipped);
}

INSTANTIATE_TEST_SUITE_P(Targets, TexturePaths, ::testing::Values(Path::Rectangle, Path::PowerOfTwo), pathName);

TEST(Texture, FrameworkSwitchChoosesThePath) {
    REQUIRE_GL_WINDOW();
    ofTexture tex;
    ofDisableArbTex();
    tex.allocate(100, 60, GL_RGBA);
    EXPECT_EQ(tex.target, GL_TEXTURE_2D);
    EXPECT_EQ(tex.allocWidth, 128);
    EXPECT_EQ(tex.allocHeight, 64);
    ofEnableArbTex();
    tex.allocate(100, 60, GL_RGBA);
    EXPECT_EQ(tex.target, GLEW_ARB_texture_rectangle ? GL_TEXTURE_RECTANGLE_ARB : GL_TEXTURE_2D);

    const struct {
        int internal;
        int format;
        int type;
    } formats[] = {
        {GL_RGBA32F_ARB, GL_RGBA, GL_FLOAT},
        {GL_RGB32F_ARB, GL_RGB, GL_FLOAT},
        {GL_LUMINANCE32F_ARB, GL_LUMINANCE, GL_FLOAT},
        {GL_RGB, GL_LUMINANCE, GL_UNSIGNED_BYTE},
    };
    for (const auto& f : formats) {
        tex.allocate(8, 8, f.internal);
        EXPECT_EQ(tex.internalFormat, f.internal);
        EXPECT_EQ(tex.glFormat, f.format);
        EXPECT_EQ(tex.pixelType, f.type);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
