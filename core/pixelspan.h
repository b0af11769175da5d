#pragma once
// Plain views of pixel buffers and rectangles, shared by the painting and
// screen kernels (stroke.h, screen.h). A view never owns its pixels: the
// engine builds one from a picture (getPixels(), width, height and
// bitDepth / 8) right before the call.

#include <cstddef>

// Rows top-down, no padding, channels R, G, B (, A); bpp is 3 or 4.
struct PixelSpan {
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int bpp = 3;

    size_t byteCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * bpp; }
};

struct ConstPixelSpan {
    const unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    int bpp = 3;

    ConstPixelSpan() = default;
    ConstPixelSpan(const unsigned char* p, int w, int h, int b) : pixels(p), width(w), height(h), bpp(b) {}
    ConstPixelSpan(const PixelSpan& s)  // NOLINT: a writable view reads as well
        : pixels(s.pixels), width(s.width), height(s.height), bpp(s.bpp) {}

    size_t byteCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height) * bpp; }
};

// The rectangle a frame must redraw: canvas pixels while painting and
// erasing, window pixels (maxima exclusive) once the screen step has mapped
// it. Empty while a minimum exceeds its maximum.
struct DirtyRect {
    int dirtyMinX = 0;
    int dirtyMaxX = 0;
    int dirtyMinY = 0;
    int dirtyMaxY = 0;

    // The empty rectangle render starts every frame with: (W, 0, H, 0).
    static DirtyRect emptyFor(int canvasWidth, int canvasHeight) { return {canvasWidth, 0, canvasHeight, 0}; }
    bool empty() const { return dirtyMinX > dirtyMaxX || dirtyMinY > dirtyMaxY; }
};

// Canvas alpha: a third of the colour's distance from the background, at
// most 255 (the 0.33 is a double on purpose: it decides the rounding).
inline int alphaFromBackground(int r, int g, int b, int bgR, int bgG, int bgB) {
    const int dist = (r > bgR ? r - bgR : bgR - r) + (g > bgG ? g - bgG : bgG - g) + (b > bgB ? b - bgB : bgB - b);
    const int a = static_cast<int>(0.33 * dist);
    return a > 255 ? 255 : a;
}

// One display channel with the back layer shown: back + front - background,
// clamped to a byte.
inline unsigned char overBackground(int back, int front, int bg) {
    const int v = back + front - bg;
    return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
