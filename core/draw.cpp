// Rendering: the frame's painting step (render), the screen image, what
// draw() shows over it (canvas frame, layer panel, cursors), the zoom and
// the brush-preset capture. Render thread only.

#include <algorithm>
#include <cmath>
#include <mutex>

#include "core/EngineGlobals.h"
#include "core/EngineHost.h"
#include "core/Requests.h"
#include "core/WyrleGlobals.h"
#include "core/pixels/eraser.h"
#include "core/pixels/screen.h"
#include "core/wyrleApp.h"
#include "framework/ofGraphics.h"

namespace {

const palette::Rgb kWorkspaceColour = {114, 110, 106};
const int kCaptureBox = 256;
const int kIconSize = 64;

palette::Rgb background() { return palette::Rgb{f_bcgR.load(), f_bcgG.load(), f_bcgB.load()}; }

void setGrey(int grey) { ofSetColor(grey, grey, grey); }

// The cursor mark over display pixel (x, y): black on light paint.
void setCursorColour(const canvas::PixelSpan& display, int x, int y, bool onCanvas) {
    setGrey(onCanvas && cursorBlackAt(display, x, y) ? 0 : 255);
}

void drawIcon(MyOfImage& icon, float x, float y) {
    if (icon.textureAllocated()) icon.draw(x, y);
}

}  // namespace

undo::Ring wyrleApp::undoRing() {
    return undo::Ring{undoBuffers, undoBufferCount - 1, undoPos,  undoOldest, undoRedoEnd,   undoHasBack,
                      undoBcgR,    undoBcgG,            undoBcgB, undoFrameBytes, &ringPreparer};
}

void wyrleApp::render() {
    if (!canvasReady) return;
    int capture = f_newBrushPreset.load();
    if (capture == 3 && !captureTaken) {
        // An end asked for with no capture running changes nothing.
        int expected = 3;
        f_newBrushPreset.compare_exchange_strong(expected, 0);
        capture = f_newBrushPreset.load();
        if (capture == 3) capture = 0;
    }
    frameCapture = capture;

    // 1. The capture view: 100 %, centred.
    if (capture > 0) {
        f_scalez = 1.0f;
        zoomRatio = 1.0f;
        canvasOffsetX = captureViewOffset(canvasWidth, viewWidth);
        canvasOffsetY = captureViewOffset(canvasHeight, viewHeight);
        updateScreenOffsets();
    }

    // 2. A press since the last frame starts its stroke.
    const BrushParams params = brush;
    const bool releasedEarly = releasedBeforeStart;
    if (beginStrokeFrame(strokeState, progress, params)) {
        canvasClear = false;
        releasedBeforeStart = false;
        // Pressed and let go between two frames: it still ends.
        if (releasedEarly) strokeEndPending = true;
    }

    // 3. to 5. The eraser.
    DirtyRect dirty = DirtyRect::emptyFor(canvasWidth, canvasHeight);
    eraser::Members em{eraserMask, eraserIdle, eraserLastX, eraserLastY, eraserCenterX, eraserCenterY};
    const eraser::Pointer pointer{pointerX, pointerY, prevPointerX, prevPointerY};
    if (strokeState == 0) eraser::followPointer(em, pointer);
    const bool toolsRun = f_showCursor.load() && strokeState != 0 && !bPan.load();
    if (toolsRun && f_eraserz.load()) {
        // Raise only: a full redraw asked for earlier in the frame stays.
        redrawMode = std::max(redrawMode, 1);
        const eraser::View eview{zoomRatio, canvasOffsetX, canvasOffsetY};
        const eraser::Settings settings{f_eraserzSize.load(), f_eraserzOpacity.load(), background(), f_showBcg.load()};
        eraser::step(em, pointer, eview, settings, frontSpan(), backSpan(), displaySpan(), dirty);
    }

    // 6. and 7. The brush.
    touchedCount = 1;
    if (toolsRun && f_painterz.load()) {
        const PaintSettings settings = snapshotPaintSettings();
        const PaintColours colours{paletteR, paletteG, paletteB, paletteBasicR, paletteBasicG, paletteBasicB};
        const CanvasMapping mapping{zoomRatio, canvasOffsetX, canvasOffsetY};
        const CanvasLayers layers{frontSpan(), backSpan(), displaySpan()};
        const BrushStepResult r =
            brushStep(chain, params, settings, colours, mapping, layers, progress, accum, dirty, redrawMode);
        if (r.strokeEnded) {
            strokeState = 0;
            requests::endStroke();
        }
    } else if (strokeState == 2 && strokeEndPending && !f_painterz.load()) {
        // The tool changed while the stroke faded out: nothing would end it.
        strokeState = 0;
        requests::endStroke();
        redrawMode = 2;
    }

    // 8. The trail moves on.
    shiftTrail();

    // 9. Undo, redo, clear, fill, then (not during a capture) the layer
    // requests and the push.
    undo::Ring ring = undoRing();
    undo::Flags flags{undoPending, backPending, canvasClear, regrabPending};
    undo::Requests rq;
    // A code is taken from the slot before it runs (see Requests.h).
    const int code = requests::workState();
    const bool renderCode = code == kWorkUndo || code == kWorkRedo || code == kWorkClearFront || code == kWorkFillFront;
    rq.workState = renderCode && requests::takeCode(code) ? code : kWorkIdle;
    rq.capture = capture != 0;
    if (!rq.capture) {
        rq.showBack = requests::take(f_changeShowBcg) == 1;
        rq.collapse = requests::take(f_changeCollapse);
        rq.clearBack = requests::take(f_changeClearBack) == 1;
    }
    rq.strokeState = strokeState;
    palette::Rgb bg = background();
    const undo::Effects fx = undo::runRequests(rq, ring, frontSpan(), backSpan(), flags, bg);
    if (fx.backgroundChanged) {
        f_bcgR = bg.r;
        f_bcgG = bg.g;
        f_bcgB = bg.b;
        host->backgroundColorBitmap();
    }
    if (fx.recompose) updateAllTexture();

    // 10. The screen image, then its texture: the whole of it after a full
    // redraw, else only the rectangle that changed.
    const int mode = redrawMode;
    ScreenStepInput in;
    in.windowWidth = host->windowWidth();
    in.windowHeight = host->windowHeight();
    in.canvasWidth = canvasWidth;
    in.canvasHeight = canvasHeight;
    in.mapping = ScreenMapping{zoomRatio, f_scalez.load(), screenOffsetX, screenOffsetY};
    in.canvasDirty = dirty;
    in.newBrushPreset = capture;
    const ScreenStepResult screen = screenImageStep(displaySpan(), spanOf(screenImage),
                                                    spanOf(backdropImage), in, redrawMode);
    viewWidth = screen.viewWidth;
    viewHeight = screen.viewHeight;
    dirtyMinX = screen.dirty.dirtyMinX;
    dirtyMaxX = screen.dirty.dirtyMaxX;
    dirtyMinY = screen.dirty.dirtyMinY;
    dirtyMaxY = screen.dirty.dirtyMaxY;
    visibleMinX = screen.visible.visibleMinX;
    visibleMaxX = screen.visible.visibleMaxX;
    visibleMinY = screen.visible.visibleMinY;
    visibleMaxY = screen.visible.visibleMaxY;
    if (screen.updated) {
        ++screenVersion;
        if (mode == 2 || mode == 3 || capture == 1)
            host->uploadRect(screenImage, 0, 0, maxCanvasWidth, maxCanvasHeight);
        else if (!screen.dirty.empty())
            host->uploadRect(screenImage, dirtyMinX, dirtyMinY, dirtyMaxX - dirtyMinX, dirtyMaxY - dirtyMinY);
    }
    redrawMode = 0;

    // 11. The layer panel follows the stroke.
    if (strokeState != 0) updateIcons();
}

void wyrleApp::drawPoint3(int x, int y, int r, int g, int b) { ::drawPoint3(accum, x, y, r, g, b); }

void wyrleApp::collapseLayers() {
    undo::collapseLayers(requests::take(f_changeCollapse), frontSpan(), backSpan(), background());
    updateAllTexture();
}

void wyrleApp::updateIcons() {
    struct Pair {
        MyOfImage& thumb;
        canvas::PixelSpan from;
    };
    const Pair pairs[] = {{frontThumbnail, frontSpan()}, {backThumbnail, backSpan()}};
    for (const Pair& p : pairs) {
        const canvas::PixelSpan to = spanOf(p.thumb);
        if (to.w != kThumbnailSize || to.h != kThumbnailSize || to.bpp != 3) continue;
        sampleThumbnail(p.from, to.px);
        p.thumb.update();
    }
    ++screenVersion;
}

void wyrleApp::centerTexture() {
    const float s0 = f_scalez.load();
    const int index = std::min(canvas::kZoomSteps - 1, std::max(0, f_scalezRangePos.load()));
    const float s = canvas::kZoomFactors[index];
    f_scalez = s;
    zoomRatio = 1.0f / s;
    setWindowName(documentName);
    const bool small = centerTextureFitsSmall(viewWidth, viewHeight, canvasWidth, canvasHeight, s);
    canvasOffsetX = centerTextureOffset(canvasOffsetX, canvasWidth, viewWidth, s0, s, small);
    canvasOffsetY = centerTextureOffset(canvasOffsetY, canvasHeight, viewHeight, s0, s, small);
    clampView();
    redrawMode = 2;
    updateScreenOffsets();
}

// ---- draw ----

void wyrleApp::draw() {
    collectShownState(drawnState, drawnCursor);
    if (!canvasReady) return;
    // Without a window there is nothing to draw on, but the capture's hand-
    // shake and the zoom still run.
    const bool gl = host->hasWindow();
    if (gl) {
        ofDisableAlphaBlending();
        ofScale(1, 1, 1);
        ofNoFill();
        setGrey(255);
        screenImage.draw(0, 0);
    }

    const float s = f_scalez.load();
    if (frameCapture == 0) {
        if (gl) {
            setGrey(f_bcgR.load() + f_bcgG.load() + f_bcgB.load() < 380 ? 185 : 70);
            ofRect(s * canvasOffsetX - 0.25f, s * canvasOffsetY - 0.25f, canvasWidth * s + 0.5f,
                   canvasHeight * s + 0.5f);
            if (f_changeShowLayers.load() == 1) drawLayerPanel();
        }
    } else {
        captureStep();
    }

    if (gl && f_showCursor.load()) {
        if (f_painterz.load()) drawBrushCursor();
        if (f_eraserz.load()) drawEraserRing();
    }

    if (requests::take(f_centerTexture)) centerTexture();
}

void wyrleApp::drawLayerPanel() {
    const float V = static_cast<float>(viewWidth);
    const bool both = f_showBcg.load();
    const int rows = both ? 2 : 1;
    ofFill();
    ofEnableAlphaBlending();
    ofSetColor(64, 62, 60, both ? 90 : 80);
    ofRect(V - 70, 0, 70, both ? 130 : 70);
    ofDisableAlphaBlending();
    for (int i = 0; i < rows; ++i) {
        setGrey(180);
        ofRect(V - 62, 8 + 60 * i, 54, 54);
    }
    for (int i = 0; i < rows; ++i) {
        setGrey(60);
        ofRect(V - 61, 9 + 60 * i, 52, 52);
    }
    ofNoFill();
    setGrey(255);
    frontThumbnail.draw(V - 60, 10);
    if (both) backThumbnail.draw(V - 60, 70);
    ofEnableAlphaBlending();
    if (both) {
        drawIcon(iconFront, V - 61, 9);
        drawIcon(iconBack, V - 61, 69);
    }
    if (frontSpan().bpp == 4) drawIcon(iconAlpha, V - 17, 9);
    if (both && backSpan().bpp == 4) drawIcon(iconAlpha, V - 17, 69);
    ofDisableAlphaBlending();
}

void wyrleApp::drawBrushCursor() {
    const canvas::PixelSpan display = displaySpan();
    const int count = brush.partNum;
    ofBeginShape();
    for (int i = 1; i < count; ++i) {
        // Where the particle was before this frame's physics step.
        const float x = last2X[i];
        const float y = last2Y[i];
        const float cx = x * zoomRatio - canvasOffsetX;
        const float cy = y * zoomRatio - canvasOffsetY;
        const bool on = cx > 0 && cx < canvasWidth && cy > 0 && cy < canvasHeight;
        setCursorColour(display, on ? static_cast<int>(cx) : 0, on ? static_cast<int>(cy) : 0, on);
        ofVertex(x, y);
        ofVertex(x + 1, y);
        ofNextContour(false);
    }
    ofNextContour(false);
    ofEndShape(false);
}

void wyrleApp::drawEraserRing() {
    const canvas::PixelSpan display = displaySpan();
    const double size = f_eraserzSize.load();
    const double r = (size - 0.2 * size) * f_scalez.load();
    float bx = static_cast<float>(pointerX + r);
    float by = pointerY;
    float a = 0.0f;
    ofBeginShape();
    ofNextContour(false);
    do {
        const float ax = static_cast<float>(pointerX + std::cos(a) * r);
        const float ay = static_cast<float>(pointerY + std::sin(a) * r);
        const int cx = static_cast<int>(static_cast<int>(ax) * zoomRatio - canvasOffsetX);
        const int cy = static_cast<int>(static_cast<int>(ay) * zoomRatio - canvasOffsetY);
        const bool on = cx >= 1 && cy >= 1 && cx < canvasWidth && cy < canvasHeight;
        setCursorColour(display, cx, cy, on);
        ofVertex(bx, by);
        ofVertex(ax, ay);
        ofNextContour(false);
        bx = ax;
        by = ay;
        a += 0.031415f;
    } while (a <= 6.333185307179586);
    ofNextContour(false);
    ofEndShape(false);
}

// ---- Brush-preset capture ----

void wyrleApp::captureStep() {
    // 1. The capture view, as render keeps it.
    f_scalez = 1.0f;
    zoomRatio = 1.0f;
    canvasOffsetX = captureViewOffset(canvasWidth, viewWidth);
    canvasOffsetY = captureViewOffset(canvasHeight, viewHeight);
    updateScreenOffsets();
    captureBoxX = viewWidth / 2 - kCaptureBox / 2;
    captureBoxY = viewHeight / 2 - kCaptureBox / 2;
    captureBoxWidth = captureBoxHeight = kCaptureBox;
    f_showBcg = false;

    // 2. The first grab, kept exactly as grabbed: a release or clear from
    // before the capture asks for no second one. The library may write 3
    // meanwhile: only 1 becomes 2.
    if (frameCapture == 1) {
        regrabPending = false;
        grabPreview(false);
        captureTaken = true;
        int expected = 1;
        f_newBrushPreset.compare_exchange_strong(expected, 2);
    }
    // 3. Again after every stroke and clear.
    if (regrabPending) {
        regrabPending = false;
        grabPreview(true);
    }
    // 4. The end: what was painted during the capture is dropped.
    if (frameCapture == 3) {
        captureTaken = false;
        frameCapture = 0;
        // A stroke still fading out belongs to the capture: it would go on
        // painting its tail into the artwork given back.
        if (strokeState != 0) {
            strokeState = 0;
            strokeEndPending = false;
            requests::endStroke();
        }
        centerTexture();
        requests::raise(f_centerTexture);
        undo::Ring ring = undoRing();
        undo::restoreCurrent(ring, frontSpan());
        canvasClear = false;
        updateAllTexture();
        undoPending = false;
        redrawMode = 2;
        int expected = 3;
        f_newBrushPreset.compare_exchange_strong(expected, 0);
        return;
    }
    if (host->hasWindow()) drawCaptureOverlay();
}

void wyrleApp::grabPreview(bool regrab) {
    if (!host->grabScreen(grabbedBox, captureBoxX, captureBoxY, kCaptureBox, kCaptureBox)) return;
    if (grabbedBox.pixelBuffer.imageType != OF_IMAGE_COLOR) grabbedBox.setImageType(OF_IMAGE_COLOR);
    MyOfImage icon;
    icon.setUseTexture(false);
    icon.clone(grabbedBox);
    icon.resize(kIconSize, kIconSize);
    if (icon.pixelBuffer.imageType != OF_IMAGE_COLOR) icon.setImageType(OF_IMAGE_COLOR);
    const canvas::PixelSpan grabbed = spanOf(grabbedBox);
    const canvas::PixelSpan iconSpan = spanOf(icon);
    if (grabbed.w != kCaptureBox || grabbed.h != kCaptureBox || grabbed.bpp != 3 || iconSpan.w != kIconSize ||
        iconSpan.h != kIconSize || iconSpan.bpp != 3)
        return;
    if (regrab) {
        const palette::Rgb bg = background();
        replaceRgb(iconSpan, kWorkspaceColour.r, kWorkspaceColour.g, kWorkspaceColour.b, bg.r, bg.g, bg.b);
    }
    {
        // The brush library saves the two on the GUI thread.
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        brushColor.setUseTexture(false);
        brushIconColor.setUseTexture(false);
        brushColor.setFromPixels(grabbed.px, kCaptureBox, kCaptureBox, OF_IMAGE_COLOR);
        brushIconColor.setFromPixels(iconSpan.px, kIconSize, kIconSize, OF_IMAGE_COLOR);
    }
    capturePreview.setFromPixels(iconSpan.px, kIconSize, kIconSize, OF_IMAGE_COLOR);
}

void wyrleApp::drawCaptureOverlay() {
    const float bx = static_cast<float>(captureBoxX);
    const float by = static_cast<float>(captureBoxY);
    ofNoFill();
    setGrey(180);
    ofRect(bx, by, kCaptureBox, kCaptureBox);
    setGrey(60);
    ofRect(bx + 1, by + 1, kCaptureBox - 2, kCaptureBox - 2);
    ofEnableAlphaBlending();
    setGrey(255);
    drawIcon(iconPaint, bx + 78, by + 1);
    ofFill();
    ofSetColor(64, 62, 60, 90);
    ofRect(bx + 84, by - 130, 84, 84);
    ofDisableAlphaBlending();
    setGrey(180);
    ofRect(bx + 92, by - 122, 68, 68);
    setGrey(60);
    ofRect(bx + 93, by - 121, 66, 66);
    setGrey(255);
    ofNoFill();
    capturePreview.draw(bx + 94, by - 120);
    ofEnableAlphaBlending();
    drawIcon(iconBrush, bx + 102, by - 121);
    ofDisableAlphaBlending();
}
