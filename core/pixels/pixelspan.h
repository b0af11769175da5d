#pragma once
// The rectangle a frame redraws, shared by the painting, eraser and screen
// kernels. Pixel views never own their pixels: the engine builds one from a
// picture (wyrleApp::spanOf) right before the call.

// Pixel views are canvas::PixelSpan (canvas.h): rows top-down, no padding,
// channels R, G, B (, A), bpp 3 or 4.
#include "core/pixels/canvas.h"

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
