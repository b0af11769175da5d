#pragma once
// The screen image: the window-sized RGB picture the drawing window shows,
// rebuilt from the display buffer at the end of every frame, only over the
// rectangle the frame changed, with a small box filter when zoomed out. Also
// the zoom arithmetic and the layer-panel thumbnails. Pixels only: the
// texture upload and every GL draw stay with the engine.
//
// How the engine uses it (render thread):
//   render(), step 10:
//       ScreenStepResult r = screenImageStep(displayView, screenView, backdropView,
//           {ofGetWidth(), ofGetHeight(), canvasWidth, canvasHeight,
//            {zoomRatio, f_scalez, screenOffsetX, screenOffsetY}, dirty, f_newBrushPreset},
//           redrawMode);                          // leaves redrawMode at 0
//       viewWidth = r.viewWidth; ... visibleMinX = r.visible.visibleMinX; ...
//       if (r.updated) screenImage.update();
//   set-up: fillRgb(backdropView, 114, 110, 106)
//   updateIcons: sampleThumbnail(frontView, frontThumbnail.getPixels()), likewise the back layer
//   centerTexture: centerTextureOffset(...) per axis, then the view clamp
//       (canvas::viewClamp), then screenOffset = offset / zoomRatio
// The display buffer's recomposition and the view clamp live in canvas.h.
// Views: screenView and backdropView are maxCanvasWidth x maxCanvasHeight, bpp 3.

#include "core/pixels/pixelspan.h"

// How a window pixel samples the display buffer.
enum class ScreenSampling {
    Nearest,    // the display pixel under it
    Box,        // with its left, upper and upper-left neighbours, / 4
    SpreadBox,  // the same with neighbours two pixels away
};
// Panning (redraw mode 3) always samples nearest; otherwise by zoomRatio:
// up to 1.05 nearest, up to 3.95 the 2 x 2 box, beyond that the spread box.
ScreenSampling screenSamplingFor(float zoomRatio, bool nearest);

// Window position and zoom of the canvas.
struct ScreenMapping {
    float zoomRatio = 1.0f;      // canvas pixels per window pixel, 1 / f_scalez
    float scalez = 1.0f;         // f_scalez
    float screenOffsetX = 0.0f;  // window position of the canvas's top-left corner
    float screenOffsetY = 0.0f;
};

// The window rectangle the canvas covers, clipped to the view.
struct VisibleRect {
    int visibleMinX = 0;
    int visibleMaxX = 0;
    int visibleMinY = 0;
    int visibleMaxY = 0;
};

VisibleRect visibleRect(int viewWidth, int viewHeight, int canvasWidth, int canvasHeight, const ScreenMapping& m);

// A dirty rectangle in canvas pixels to window pixels: trunc(b * scalez + offset).
DirtyRect dirtyToWindow(const DirtyRect& canvasDirty, const ScreenMapping& m);

// The brush-capture box, 256 x 256 around the view's centre (integer halving).
DirtyRect captureBoxRect(int viewWidth, int viewHeight);

// Redraws window pixels [dirtyMinX, dirtyMaxX) x [dirtyMinY, dirtyMaxY) of
// `screen` (RGB) from `display`. The canvas point of window pixel (x, y) is
// ((x - screenOffsetX) * zoomRatio, (y - screenOffsetY) * zoomRatio), per
// column and row, so a partial redraw matches a full one pixel for pixel.
// Window pixels off the canvas are left alone.
void redrawScreen(const canvas::PixelSpan& display, const canvas::PixelSpan& screen, const DirtyRect& windowRect,
                  const ScreenMapping& m, bool nearest);

struct ScreenStepInput {
    int windowWidth = 0;   // ofGetWidth()
    int windowHeight = 0;  // ofGetHeight()
    int canvasWidth = 0;
    int canvasHeight = 0;
    ScreenMapping mapping;
    DirtyRect canvasDirty;   // this frame's painting and erasing, canvas pixels
    int newBrushPreset = 0;  // f_newBrushPreset
};

struct ScreenStepResult {
    int viewWidth = 0;
    int viewHeight = 0;
    DirtyRect dirty;      // what was redrawn, window pixels
    VisibleRect visible;
    bool updated = false; // the screen image changed: upload it
};

// Render step 10 with its redrawMode: 0 nothing, 1 the dirty rectangle,
// 2 the whole visible canvas, 3 the same with nearest sampling. During a
// brush capture only the capture box is redrawn. Sets redrawMode to 0.
ScreenStepResult screenImageStep(const canvas::PixelSpan& display, const canvas::PixelSpan& screen,
                                 const canvas::PixelSpan& backdrop, const ScreenStepInput& in, int& redrawMode);

// Every pixel of an RGB(A) view to one colour (alpha untouched).
void fillRgb(const canvas::PixelSpan& image, int r, int g, int b);

// A 50 x 50 RGB thumbnail: pixel (u, v) takes canvas pixel (u * (W / 50), v * (H / 50)).
constexpr int kThumbnailSize = 50;
void sampleThumbnail(const canvas::PixelSpan& layer, unsigned char* thumbnailRgb);

// Cursor marks are black over a light display pixel (R + G + B above 500),
// else white; false (white) off the canvas.
bool cursorBlackAt(const canvas::PixelSpan& display, int x, int y);

// Every pixel exactly (fromR, fromG, fromB) becomes (toR, toG, toB): the
// capture icon's backdrop in the background colour.
void replaceRgb(const canvas::PixelSpan& image, int fromR, int fromG, int fromB, int toR, int toG, int toB);

// centerTexture on one axis, before the clamp: a canvas that fits in 40 % of
// the view in both directions (`fitsSmall`) is centred, else the canvas point
// under the view's centre stays there when the zoom goes from oldScalez to
// newScalez.
bool centerTextureFitsSmall(int viewWidth, int viewHeight, int canvasWidth, int canvasHeight, float newScalez);
float centerTextureOffset(float canvasOffset, int canvasSize, int viewSize, float oldScalez, float newScalez,
                          bool fitsSmall);

// The capture view's offset on one axis at zoom 1: view / 2 - size * 0.5.
float captureViewOffset(int canvasSize, int viewSize);
