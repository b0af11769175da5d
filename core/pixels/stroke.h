#pragma once
// Stroke painting: the particle chain's trail becomes paint as soft line
// splats or filled ribbons, summed per pixel over the frame, then added to
// (lighten) or taken from (darken) the front layer in one composite pass that
// also refreshes the pixel's alpha and the display buffer. No GL, no wx.
//
// How the engine's render() uses it, once per frame on the render thread:
//   BrushParams params = snapshotBrushParams();          // particles.h
//   PaintSettings settings = snapshotPaintSettings();
//   if (beginStrokeFrame(strokeState, progress, params)) canvasClear = false;   // step 2
//   DirtyRect dirty = DirtyRect::emptyFor(canvasWidth, canvasHeight);           // step 3
//   ... eraser (steps 4 and 5) may widen `dirty` ...
//   if (f_showCursor && f_painterz && strokeState != 0 && !bPan) {             // steps 6, 7
//       BrushStepResult r = brushStep(chain, params, settings,
//           {paletteR, paletteG, paletteB, paletteBasicR, paletteBasicG, paletteBasicB},
//           {zoomRatio, canvasOffsetX, canvasOffsetY},
//           {frontView, backView, displayView}, progress, accum, dirty, redrawMode);
//       if (r.strokeEnded) { strokeState = 0; requests::endStroke(); }
//   }
//   shiftTrail(chain);                                                          // step 8
// The engine keeps a PaintAccumulator (the pixel map and the touched list)
// and a StrokeProgress (fade and palette clock) as members; a new canvas
// attaches its pixel map (accum.attachMap(map, W, H), or allocateMap for an
// accumulator of its own) and resets the progress to StrokeProgress{}.
// A left release sets progress.strokeEndPending; the release ends a stroke
// at once when params.fadez (the clamped value) is 0.
//
// Ribbon frames are painted in bands of rows on the row pool's threads
// (rowsplit.h, PaintAccumulator::bands);
// each pixel's sum, and so the canvas, is the same as in one pass.
//
// Sums are integers that saturate at INT32_MAX; a line splat's weight is a
// whole number of 256ths, so its sums are exact. Ribbon span points are
// A + step * k rather than a running sum, and each frame's dirty rectangle
// covers every painted trail segment whole, end point included.

#include <cstdint>
#include <vector>

#include "core/pixels/particles.h"
#include "core/pixels/pixelspan.h"

// The touched list: entry 0 is never used; a splat (up to 4 new entries)
// or a ribbon span (up to 40) is refused once touchedCount exceeds the limit.
constexpr int kTouchedCapacity = 1001000;
constexpr int kTouchedLimit = 999999;
// Palette positions 0..3199 are painted with.
constexpr int kPaletteLast = 3200;

// Ribbon frames are painted by up to this many threads at once.
constexpr int kMaxPaintBands = 8;
// Bands are used after a frame that painted at least this many pixels.
constexpr int kBandMinPixels = 2048;
// One per thread of the row pool (rowsplit.h), at most kMaxPaintBands.
int defaultPaintBands();

// Per-canvas pixel map and the fixed per-frame touched list with its sums.
// Between frames the map and the sums are all 0.
struct PaintAccumulator {
    PaintAccumulator();
    PaintAccumulator(const PaintAccumulator&) = delete;
    PaintAccumulator& operator=(const PaintAccumulator&) = delete;

    // Sizes an own pixel map for a canvas and fills it with 0; false when the
    // canvas is empty, too large for int pixel indices, or the memory is not
    // there (the map is then released).
    bool allocateMap(int width, int height);
    // Paints with a map the caller owns and keeps alive until releaseMap:
    // width x height ints, all 0. False (no map) for an empty or too large
    // canvas or a null map.
    bool attachMap(int* map, int width, int height);
    void releaseMap();

    int canvasWidth = 0;
    int canvasHeight = 0;
    int* map = nullptr;              // the map in use: own or attached; null when none
    std::vector<int> pixelMap;       // the own map: per canvas pixel, 0 or its entry
    std::vector<int> touchedPixels;  // entry -> canvas pixel index
    std::vector<int> accumR;         // entry -> summed colour, saturating at INT32_MAX
    std::vector<int> accumG;
    std::vector<int> accumB;
    int touchedCount = 1;            // the next free entry

    // Bands of rows brushStep paints ribbons in, each on its own thread
    // (1: one pass on the caller's thread; at most kMaxPaintBands). The
    // canvas comes out the same for every number; only the order of the
    // touched list differs.
    int bands;
    int lastPainted = 0;  // pixels brushStep painted in the previous frame
};

// Colour and compositing state of one frame.
struct PaintSettings {
    int perpixelz = 0;            // 0 the basic colour, 1 the gradient palette
    float perpixelzTime = 3.0f;   // palette cycling speed; 0 spreads the palette along the chain
    bool additive = true;         // lighten, else darken
    bool showBcg = true;          // the display shows the back layer under the front
    int bcgR = 0, bcgG = 0, bcgB = 0;
};

// Reads f_perpixelz, f_perpixelzTime, f_additive, f_showBcg and the
// background colour once, clamped (colour channels 0..255, a non-finite
// time 0).
PaintSettings snapshotPaintSettings();

// The active palettes: paletteR/G/B hold at least kPaletteLast entries.
struct PaintColours {
    const int* paletteR = nullptr;
    const int* paletteG = nullptr;
    const int* paletteB = nullptr;
    int paletteBasicR = 0;
    int paletteBasicG = 0;
    int paletteBasicB = 0;
};

// Window to canvas: canvas x = window x * zoomRatio - canvasOffsetX.
struct CanvasMapping {
    float zoomRatio = 1.0f;
    float canvasOffsetX = 0.0f;
    float canvasOffsetY = 0.0f;
};

// The three canvas pictures; each is read with its own bytes per pixel.
// The front layer carries alpha exactly when its bpp is 4.
struct CanvasLayers {
    canvas::PixelSpan front;
    canvas::PixelSpan back;
    canvas::PixelSpan display;
};

// Fade and palette clock carried from frame to frame.
struct StrokeProgress {
    bool strokeEndPending = false;  // the left button was let go: a fading stroke fades out
    float fadeFactor = 0.0f;
    float fadeFactorSaved = 0.0f;
    float paletteCounter = 0.0f;
    int paletteIndex = 0;
};

// The per-mode numbers of one frame's brush.
struct BrushSetup {
    int shift;           // composite: add = sum >> shift
    int steps;           // samples per particle (ribbon) or the clock's budget (line)
    int subSteps;        // ribbon: points per span
    float fadeStep;
    float paletteStep;
    float opacity;
    int firstParticle;   // K of the first painted particle
    int particleStep;    // K advances by this
};
BrushSetup brushSetupFor(const BrushParams& params, float perpixelzTime, float zoomRatio);

// Render step 2: a stroke pressed since the last frame (strokeState 1)
// starts now. Returns true when it did; the engine then clears canvasClear.
bool beginStrokeFrame(int& strokeState, StrokeProgress& progress, const BrushParams& params);

struct BrushStepResult {
    bool strokeEnded = false;  // the fade-out finished: strokeState 0, slot 10 -> 0
    int touchedEntries = 0;    // pixels the composite changed
    int shift = 12;            // the composite's shift for this frame's sums
};

// Render step 7: paints the first params.partNum particles' trails (P2 to P1,
// spline through P3..P0 when params.spline) and composites them. Widens
// `dirty` (canvas pixels) over the painted trails and raises redrawMode to at
// least 1 (2 when the stroke ended). Nothing is painted when the layers do
// not match the accumulator's canvas.
BrushStepResult brushStep(const ParticleChain& chain, const BrushParams& params, const PaintSettings& settings,
                          const PaintColours& colours, const CanvasMapping& mapping, const CanvasLayers& layers,
                          StrokeProgress& progress, PaintAccumulator& accum, DirtyRect& dirty, int& redrawMode);

// brushStep without the composite: the sums of this frame's paint are left
// in `accum` (entries 1..touchedCount-1) for compositeTouched(..., shift).
BrushStepResult paintTrails(const ParticleChain& chain, const BrushParams& params, const PaintSettings& settings,
                            const PaintColours& colours, const CanvasMapping& mapping, StrokeProgress& progress,
                            PaintAccumulator& accum, DirtyRect& dirty, int& redrawMode);

// One line splat at (x, y) in 1/16 canvas pixels, weighted over up to four
// pixels; row and column 0 never receive it.
void drawPoint3(PaintAccumulator& accum, int x, int y, int r, int g, int b);

// One ribbon span: subSteps points A + (B - A) / subSteps * k, k = 1..subSteps,
// each point on the canvas (0 < x < W, 0 < y < H) adding the colour once
// to its pixel. Skipped whole once the touched list is full; subSteps 1..40.
void drawRibbonSpan(PaintAccumulator& accum, float ax, float ay, float bx, float by, int subSteps, int r, int g,
                    int b);

// The composite pass over entries 1..touchedCount-1, with add = sum >> shift;
// leaves pixelMap and the sums at 0. Returns the number of entries.
int compositeTouched(PaintAccumulator& accum, const CanvasLayers& layers, const PaintSettings& settings, int shift);
