// Images with their textures, against a real GL context (Xvfb): what is
// drawn, what is grabbed from the window, and when textures are made.

#include <vector>

#include "framework/MyOfImage.h"
#include "framework/ofGraphics.h"
#include "framework/ofImage.h"
#include "tests/image_fixtures.h"
#include "tests/image_gl_helpers.h"

using namespace imgtest;

namespace {

class ImageGl : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_GL_WINDOW();
        pixelScreen();
        ofSetRectMode(OF_RECTMODE_CORNER);
    }
};

// 2 x 2 pixels: red, green / blue, white (grey: 50, 100 / 150, 200).
std::vector<unsigned char> fourPixels(int type) {
    const unsigned char rgb[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    const unsigned char grey[4] = {50, 100, 150, 200};
    std::vector<unsigned char> px;
    for (int i = 0; i < 4; ++i) {
        if (type == OF_IMAGE_GRAYSCALE) {
            px.push_back(grey[i]);
            continue;
        }
        px.insert(px.end(), rgb[i], rgb[i] + 3);
        if (type == OF_IMAGE_COLOR_ALPHA) px.push_back(255);
    }
    return px;
}

// Drawn 2 x 2 at 100 x 100 from (20, 40): each pixel's middle, where linear
// filtering still blends in a little of the neighbours.
void expectFourPixelsDrawn(int type) {
    const int xs[2] = {45, 95}, ys[2] = {65, 115};
    for (int i = 0; i < 4; ++i) {
        const Pixel p = readPixel(xs[i % 2], ys[i / 2]);
        if (type == OF_IMAGE_GRAYSCALE) {
            const int v = 50 * (i + 1);
            EXPECT_TRUE(near(p, v, v, v, 8)) << "pixel " << i << " " << show(p);
        } else {
            const int r = i == 0 || i == 3 ? 255 : 0, g = i == 1 || i == 3 ? 255 : 0, b = i >= 2 ? 255 : 0;
            EXPECT_TRUE(near(p, r, g, b, 8)) << "pixel " << i << " " << show(p);
        }
    }
}

}  // namespace

TEST_F(ImageGl, LoadedPicturesDrawUprightInEachType) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    for (int type : {OF_IMAGE_GRAYSCALE, OF_IMAGE_COLOR, OF_IMAGE_COLOR_ALPHA}) {
        SCOPED_TRACE(type);
        ofImage src;
        src.setUseTexture(false);
        src.setFromPixels(fourPixels(type).data(), 2, 2, type);
        const std::string path = tmp.path("four" + std::to_string(type) + ".png");
        ASSERT_TRUE(src.saveImage(path));

        ofImage img;
        ASSERT_TRUE(img.loadImage(path));
        ASSERT_TRUE(img.texture.bAllocated());
        EXPECT_EQ(img.texture.internalFormat, img.pixelBuffer.glFormat);
        glClear(GL_COLOR_BUFFER_BIT);
        img.draw(20, 40, 100, 100);
        expectFourPixelsDrawn(type);
    }
}

TEST_F(ImageGl, AllocatingAgainKeepsPixelsAndRemakesTheTexture) {
    ofImage img;
    img.allocate(2, 2, OF_IMAGE_COLOR);
    const std::vector<unsigned char> px = fourPixels(OF_IMAGE_COLOR);
    std::copy(px.begin(), px.end(), img.getPixels());
    unsigned char* buffer = img.getPixels();
    img.allocate(2, 2, OF_IMAGE_COLOR);
    EXPECT_EQ(img.getPixels(), buffer);
    ASSERT_TRUE(img.texture.bAllocated());
    img.draw(20, 40, 100, 100);
    expectFourPixelsDrawn(OF_IMAGE_COLOR);
}

TEST_F(ImageGl, GrabbedRowsComeOutTopDown) {
    // Five rows (odd: the middle row stays where it is), each its own colour.
    const float rows[5][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}};
    for (int r = 0; r < 5; ++r) fillRect(30, 50 + r, 7, 1, rows[r][0], rows[r][1], rows[r][2]);

    ofImage img;
    img.grabScreen(30, 50, 7, 5);
    ASSERT_EQ(img.imageType, OF_IMAGE_COLOR);
    ASSERT_EQ(img.width, 7);
    ASSERT_EQ(img.height, 5);
    for (int r = 0; r < 5; ++r)
        for (int x = 0; x < 7; ++x) {
            const unsigned char* p = img.getPixels() + (r * 7 + x) * 3;
            ASSERT_EQ(p[0], rows[r][0] * 255) << "row " << r;
            ASSERT_EQ(p[1], rows[r][1] * 255) << "row " << r;
            ASSERT_EQ(p[2], rows[r][2] * 255) << "row " << r;
        }

    // Another size keeps the type; an RGBA image receives alpha.
    ofImage rgba;
    rgba.allocate(3, 3, OF_IMAGE_COLOR_ALPHA);
    rgba.grabScreen(30, 52, 2, 1);
    ASSERT_EQ(rgba.imageType, OF_IMAGE_COLOR_ALPHA);
    ASSERT_EQ(rgba.width, 2);
    const unsigned char blue[] = {0, 0, 255, 255, 0, 0, 255, 255};
    EXPECT_TRUE(std::equal(blue, blue + 8, rgba.getPixels()));
}

TEST_F(ImageGl, TypeChangesUploadAgainAndGrowTheTexture) {
    ofImage img;
    img.setFromPixels(fourPixels(OF_IMAGE_COLOR).data(), 2, 2, OF_IMAGE_COLOR);
    // Same type: nothing is converted, but changed pixels reach the texture.
    std::fill(img.getPixels(), img.getPixels() + 12, 0);
    img.getPixels()[0] = 255;
    img.setImageType(OF_IMAGE_COLOR);
    img.draw(20, 40, 100, 100);
    EXPECT_TRUE(near(readPixel(45, 65), 255, 0, 0, 8)) << show(readPixel(45, 65));
    EXPECT_TRUE(near(readPixel(95, 65), 0, 0, 0, 8)) << show(readPixel(95, 65));

    img.setImageType(OF_IMAGE_COLOR_ALPHA);
    EXPECT_EQ(img.texture.internalFormat, GL_RGBA);
    img.setImageType(OF_IMAGE_COLOR);
    EXPECT_EQ(img.texture.internalFormat, GL_RGBA) << "a shrinking type keeps its texture";
    EXPECT_EQ(img.texture.glFormat, GL_RGB);
}

TEST_F(ImageGl, NoTextureWhileSwitchedOff) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    MyOfImage img;
    img.setUseTexture(false);
    img.allocate(4, 4, OF_IMAGE_COLOR);
    img.resize(8, 8);
    img.setImageType(OF_IMAGE_COLOR_ALPHA);
    ASSERT_TRUE(img.saveImage(tmp.path("a.png")));
    ASSERT_TRUE(img.loadImage(tmp.path("a.png")));
    EXPECT_FALSE(img.textureAllocated());
    EXPECT_EQ(img.texture.textureId, 0u);

    EXPECT_NE(stdoutOf([&] { img.getTextureReference(); })
                  .find("ofImage - getTextureReference - texture is not allocated"),
              std::string::npos);

    // Switched on later, the next update makes a texture big enough.
    img.setUseTexture(true);
    std::copy_n(fourPixels(OF_IMAGE_COLOR_ALPHA).data(), 16, img.getPixels());
    img.update();
    EXPECT_TRUE(img.textureAllocated());
    EXPECT_GE(img.texture.allocWidth, 8);
}

TEST_F(ImageGl, ResizeAndCloneRemakeTheirTextures) {
    ofImage img;
    img.setFromPixels(fourPixels(OF_IMAGE_COLOR).data(), 2, 2, OF_IMAGE_COLOR);
    img.resize(40, 30);
    EXPECT_EQ(img.texture.width, 40);
    EXPECT_GE(img.texture.allocHeight, 30);

    ofImage copy;
    copy.clone(img);
    ASSERT_TRUE(copy.texture.bAllocated());
    EXPECT_NE(copy.texture.textureId, img.texture.textureId);
    EXPECT_EQ(copy.texture.width, 40);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
