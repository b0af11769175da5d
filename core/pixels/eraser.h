#pragma once
// The eraser: stamps of a soft circular mask laid along the pointer's path,
// pulling the front layer back towards the background colour. Plain
// functions over the engine's eraser members and canvas buffers; no GL.
//
// How the engine calls it from render:
//   step 4, every frame while strokeState is 0:
//       eraser::followPointer(em, pointer);
//   step 5, when f_showCursor, f_eraserz, strokeState != 0 and no pan:
//       redrawMode = 1;
//       eraser::step(em, pointer, view, settings, frontSpan, backSpan,
//                    displaySpan, dirty);
// with
//   eraser::Members em{eraserMask, eraserIdle, eraserLastX, eraserLastY,
//                      eraserCenterX, eraserCenterY};
//   eraser::Pointer pointer{pointerX, pointerY, prevPointerX, prevPointerY};
//   eraser::View view{zoomRatio, canvasOffsetX, canvasOffsetY};
//   eraser::Settings settings{f_eraserzSize, f_eraserzOpacity, bg, f_showBcg};
// The dirty rectangle grows to cover every changed pixel, in canvas pixels
// with the maxima exclusive (one past the last changed column and row).

#include "core/pixels/canvas.h"
#include "core/pixels/palette.h"
#include "core/pixels/pixelspan.h"

namespace eraser {

constexpr int kMaxRadius = 200;
constexpr int kMaskSize = 2 * kMaxRadius + 1;
using Mask = float[kMaskSize][kMaskSize];  // [b + 200][a + 200] for offset (a, b): rows are y

// The engine's eraser members.
struct Members {
    Mask& eraserMask;
    bool& eraserIdle;
    float& eraserLastX;  // window position of the last stamp's centre
    float& eraserLastY;
    int& eraserCenterX;  // canvas pixel of the last stamp's centre
    int& eraserCenterY;
};

struct Pointer {
    float x, y;          // pointerX, pointerY (window pixels)
    float prevX, prevY;  // prevPointerX, prevPointerY
};

struct View {
    float zoomRatio;  // canvas pixels per window pixel
    float canvasOffsetX;
    float canvasOffsetY;
};

struct Settings {
    float size;     // f_eraserzSize: radius in canvas pixels, used within 1..200
    float opacity;  // f_eraserzOpacity, used within 0..1
    palette::Rgb bg;
    bool showBack;  // f_showBcg: the display shows the back layer
};

// Weights for |a|, |b| <= trunc(size): 1 outside the circle, inside it
// clamp(s x opacity + 1.01 - opacity, 0, 1) with s = 0.5 - 0.5 cos(pi d / size).
void buildMask(Mask& mask, float size, float opacity);

// The pointer has not moved, or the last stamp lies exactly on it.
bool isIdle(const Members& m, const Pointer& p);

// While no stroke runs the next stroke's first stamps start where the
// pointer was in the previous frame.
void followPointer(Members& m, const Pointer& p);

// Lays the stamps from (fromX, fromY) to (toX, toY) (window pixels), half a
// radius apart in canvas pixels, the last on the end point. Every stamp
// blends the pixels whose weight is below 1 towards the background colour,
// lowers (never raises) their alpha to the canvas alpha of the new colour
// and refreshes the display under them. `mask` must have been built for
// `s.size` and `s.opacity`. Returns the number of stamps; the last one's
// centre is left in centerX, centerY.
int layStamps(const Mask& mask, float fromX, float fromY, float toX, float toY, const View& view, const Settings& s,
              canvas::PixelSpan front, canvas::PixelSpan back, canvas::PixelSpan display, int& centerX, int& centerY,
              DirtyRect& dirty);

// The eraser step of a frame: the mask and the stamps unless idle, then the
// last stamp's window position and the idle state for the next frame.
// Returns the number of stamps laid.
int step(Members& m, const Pointer& p, const View& view, const Settings& s, canvas::PixelSpan front,
         canvas::PixelSpan back, canvas::PixelSpan display, DirtyRect& dirty);

}  // namespace eraser
