#pragma once
// Plain functions over canvas buffers and view numbers: no GL, no wx, no
// engine state, so they can be tested and measured without a window. Byte
// counts are size_t; every buffer carries its own bytes per pixel.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/pixels/palette.h"

namespace canvas {

// The largest canvas, in pixels, that the engine accepts; beyond it the
// memory fallback takes over. (16384 x 16384; the picture class refuses
// more anyway.)
const int64_t kMaxCanvasPixels = int64_t(1) << 28;

// The zoom factors by zoom index; index 2 is 100 %.
const int kZoomSteps = 10;
inline constexpr float kZoomFactors[kZoomSteps] = {2.0f, 1.5f, 1.0f, 0.7f, 0.5f, 0.35f, 0.25f, 0.15f, 0.1f, 0.05f};

// The four fixed accumulator arrays of the engine, counted in the budget.
const int64_t kAccumulatorBytes = 16016000;

// A view of an interleaved 8-bit buffer, rows top-down; bpp 3 (RGB) or 4 (RGBA).
struct PixelSpan {
    uint8_t* px;
    int w;
    int h;
    int bpp;

    size_t pixels() const { return static_cast<size_t>(w) * static_cast<size_t>(h); }
    size_t bytes() const { return pixels() * static_cast<size_t>(bpp); }
    bool valid() const { return px && w > 0 && h > 0 && (bpp == 3 || bpp == 4); }
};

// The canvas alpha of a colour: 0.33 x its distance from the background, at most 255.
int canvasAlpha(int r, int g, int b, palette::Rgb bg);

// Every pixel := the background colour, alpha 0 where the buffer has alpha.
void fillLayer(PixelSpan layer, palette::Rgb bg);

// The display buffer from the layers. With the back layer shown each R, G, B
// is clamp(back + front - background); otherwise the front layer's bytes are
// copied as they are. The display's alpha is left alone in the first case.
// Nothing happens unless the three buffers have the same size.
void recompose(PixelSpan front, PixelSpan back, PixelSpan display, palette::Rgb bg, bool showBack);

// View clamp on one axis: o is the canvas offset in canvas pixels, s the zoom
// factor, V the view and W the canvas length. The near edge stays within
// three quarters of the view, the far edge beyond its first quarter.
float viewClamp(float o, float s, int V, int W);
// The offset that centres a canvas of length W in a view of length V.
float centredOffset(float s, int V, int W);

// The largest view on one axis: ((screen - margin) / 16 + 1) x 16, at most the
// texture limit (when known), at least 16.
int maxCanvasSize(int screen, int margin, int textureLimit);

// The first zoom index (0..9) at which the canvas fits the view strictly; 9
// when none does.
int zoomFitIndex(int viewW, int viewH, int W, int H);
// "70 %": the factor x 100, rounded, with a space before the per-cent sign.
std::string zoomLabel(float factor);

// Undo depth for a canvas. `avail` is the free physical memory (bytes; 0 or
// less when unknown), `percent` the share for undo before clamping.
struct UndoSizing {
    int percent;     // clamped into 10..90
    int64_t avail;   // the memory the sizing used
    int64_t use;     // the share of it for the ring
    int undoMax;     // odd, 3..201
    bool fits;       // false: the canvas cannot be held at all
};
UndoSizing undoSizingFor(int64_t avail, int percent, int W, int H, int bpp);
// The bytes one canvas of W x H at bpp needs, 0 when it is empty or beyond
// kMaxCanvasPixels.
size_t frameBytes(int W, int H, int bpp);

// Docking: where the drawing window at (baseX, baseY) snaps beside the tool
// window's client origin (guiX, guiY). False when it does not snap.
bool dockTarget(int baseX, int baseY, int guiX, int guiY, int borderW, int borderH, int& x, int& y);

}  // namespace canvas
