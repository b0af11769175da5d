#pragma once
// A picture: 8-bit pixels in memory (grey, RGB or RGBA, rows top-down,
// tightly packed) and an optional texture that shows them. FreeImage reads,
// writes, rescales and converts the pixels.
//
// With useTexture off an image makes no GL call at all, so it may live and
// be saved on any thread; everything that touches the texture (and
// grabScreen) belongs on the render thread.

#include <cstddef>
#include <string>

#include "framework/ofBaseTypes.h"
#include "framework/ofTexture.h"

struct FIBITMAP;

#ifndef OF_IMAGE_GRAYSCALE
#define OF_IMAGE_GRAYSCALE 0
#define OF_IMAGE_COLOR 1
#define OF_IMAGE_COLOR_ALPHA 2
#define OF_IMAGE_UNDEFINED 3
#endif

// Pictures with more pixels than this are refused (at 4 bytes a pixel this
// is already 1 GiB); it also keeps every byte count far from overflow.
constexpr std::size_t OF_MAX_IMAGE_PIXELS = std::size_t(1) << 28;

// The pixel store of one image. `data` is owned by the image and holds
// width x height x channelCount bytes, R, G, B (, A) in this order.
struct ofPixels {
    unsigned char* data;
    int width;
    int height;
    int bitDepth;
    int channelCount;
    int glFormat;
    int imageType;
    bool allocated;
};

class ofImage : public ofBaseImage {
public:
    ofImage();
    ~ofImage() override;
    ofImage(const ofImage&) = delete;
    ofImage& operator=(const ofImage&) = delete;

    // Type 0 grey, 1 RGB, 2 RGBA. The buffer is kept (with its contents)
    // when size and type are unchanged; the texture is made anew.
    void allocate(int w, int h, int type);
    // Frees pixels and texture; the image is as after construction, except
    // that useTexture keeps its value.
    void clear();

    // False, with the image unchanged, for anything that is not a picture
    // FreeImage can read and convert to 8 bits a channel.
    bool loadImage(std::string fileName);
    // The format comes from the extension. Writes a temporary file beside
    // the target and renames it over, so a failed save leaves an existing
    // file alone. Reports why on the error log and returns false on failure.
    bool saveImage(std::string fileName);

    void setFromPixels(const unsigned char* pixels, int w, int h, int type, bool orderIsRGB = true);
    void clone(const ofImage& src);
    void resize(int w, int h);
    // (x, y) is the top-left corner in window pixels, y down.
    void grabScreen(int x, int y, int w, int h);
    void setImageType(int type);
    // Uploads the pixels to the texture (when it is used) and refreshes the
    // public size and type fields.
    void update();

    unsigned char* getPixels() override;
    float getWidth() override;
    float getHeight() override;

    void setUseTexture(bool use) override;
    ofTexture& getTextureReference() override;

    void draw(float x, float y) override;
    void draw(float x, float y, float w, float h) override;
    void setAnchorPercent(float xPct, float yPct) override;
    void setAnchorPoint(float x, float y) override;
    void resetAnchor() override;

    int width, height, bitDepth, imageType;
    ofPixels pixelBuffer;
    bool useTexture;
    ofTexture texture;

protected:
    // False (pix unchanged) for a bad depth, a size above the limit or no
    // memory. Same size and depth keeps the buffer as it is.
    static bool allocatePixels(ofPixels& pix, int w, int h, int bitDepth);
    static void freePixels(ofPixels& pix);

    bool loadImageIntoPixels(const std::string& fileName, ofPixels& pix);
    bool saveImageFromPixels(const std::string& fileName, const ofPixels& pix, int flags);
    // A new bitmap in FreeImage's own byte order, built from a copy.
    FIBITMAP* getBmpFromPixels(const ofPixels& pix);
    // Converts the bitmap to 8, 24 or 32 bits and stores it; false (pix
    // unchanged) when it cannot.
    bool putBmpIntoPixels(FIBITMAP* bmp, ofPixels& pix);
    // A grey PNG with a transparent grey value: FreeImage's colours, the
    // alpha from the file's samples; false (pix unchanged) when it cannot.
    bool putKeyedGreyIntoPixels(FIBITMAP* bmp, const std::string& fileName, ofPixels& pix);
    bool changeTypeOfPixels(ofPixels& pix, int type);
    static bool hasJpegExtension(const std::string& fileName);

private:
    void allocateTexture();
};

// Saves a plain RGB(A)/grey buffer (`channels` 1, 3 or 4, rows top-down)
// under `path` exactly as given (no data-folder rule), with the rules of
// ofImage::saveImage. `flags` go to FreeImage (e.g. a JPEG quality). On
// failure `why` (when given) says what went wrong.
bool ofSavePixels(const std::string& path, const unsigned char* data, int w, int h, int channels,
                  int flags = 0, std::string* why = nullptr);

// Shuts FreeImage down; the exit handler calls it. An image operation after
// this starts FreeImage again.
void ofCloseFreeImage();
