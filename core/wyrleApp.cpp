#include "wyrleApp.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "BaseApp.h"
#include "EngineGlobals.h"
#include "EngineHost.h"
#include "Log.h"
#include "Requests.h"
#include "SettingsHandler.h"
#include "WyrleGlobals.h"
#include "ofAppRunner.h"
#include "ofUtils.h"

namespace {

const palette::Rgb kWorkspaceColour = {114, 110, 106};

// Loads an interface picture; a missing one is logged and skipped, and the
// panel then simply lacks it.
void loadInterfaceImage(MyOfImage& image, const char* path, bool textures, Log* log) {
    image.setUseTexture(textures);
    if (image.loadImage(path)) return;
    ofLog(OF_LOG_WARNING, "wyrleApp::setup - cannot load %s", path);
    if (log) log->log("cannot load", path);
}

// An RGB picture of w x h in one colour. Its texture (when it has one) is
// made and filled by the one upload at the end, or by the first update().
void allocateFilled(MyOfImage& image, int w, int h, palette::Rgb colour, bool textures, bool upload = true) {
    image.setUseTexture(false);
    image.allocate(w, h, OF_IMAGE_COLOR);
    canvas::fillLayer(wyrleApp::spanOf(image), colour);
    image.setUseTexture(textures);
    if (upload) image.update();
}

}  // namespace

wyrleApp::wyrleApp() : ownHost(new StandardEngineHost(*this)) {
    host = ownHost.get();
}

wyrleApp::~wyrleApp() {
    // The GUI thread's key handlers reach the engine through the thread
    // object; after this they find none.
    if (baseApp) baseApp->forgetEngine(this);
    clearMemory();
    delete settingsHandler;
    delete log;
}

canvas::PixelSpan wyrleApp::spanOf(ofImage& image) {
    const ofPixels& p = image.pixelBuffer;
    if (!p.allocated) return canvas::PixelSpan{nullptr, 0, 0, 0};
    return canvas::PixelSpan{p.data, p.width, p.height, p.channelCount};
}

void wyrleApp::refreshPixelPointers() {
    frontPixels = frontLayer.getPixels();
    backPixels = backLayer.getPixels();
    displayPixels = displayImage.getPixels();
    screenPixels = screenImage.getPixels();
}

void wyrleApp::setup() {
    host->installCallbacks();
    host->setWindowPosition(gBasePositionX.load(), gBasePositionY.load());
    host->setWindowTitle(gTitle);

    windowX = windowY = prevWindowX = prevWindowY = 0;
    f_bcgR_choose = 0;
    f_bcgG_choose = 0;
    f_bcgB_choose = 0;

    if (!settingsHandler) settingsHandler = new SettingsHandler();
    settingsHandler->Load();
    if (!log) log = new Log("wyrleApp.log", gLogging.load());

    // A request the tool window raised before now stays in the slot.
    requests::moveWorkState(kWorkIdle, kWorkSetup);

    host->setBackground(0, 0, 0);
    host->setFrameRate(40);
    host->drawOnDemand();

    particleCount = kParticleCount;
    springStiffness = 0.02f;
    f_slow1 = 0.9f;
    f_modes = 0;
    f_PartStep = 1;
    f_opacityz = 40.0f;
    f_paintDetail = 1;
    f_NormLen = 1.0f;
    f_perpixelz = 0;
    f_additive = true;
    f_fixedLoadPic = false;
    f_findAutoBcgColor = true;
    f_premultiplyAlpha = false;
    f_perpixelzTimeVal = 3.0f;
    f_perpixelzTime = 3.0f;
    f_perpixelzMode = 1;
    f_painterz = true;
    f_eraserz = false;
    f_eraserzSize = 35.0f;
    f_eraserzOpacity = 1.0f;
    f_changeShowLayers = 1;
    clearRequestFlags();
    redrawMode = 2;
    toolWindowShown = true;

    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        int* arrays[] = {paletteR, paletteG, paletteB, paletteRadd, paletteGadd,
                         paletteBadd, paletteRsub, paletteGsub, paletteBsub, paletteSet};
        for (int* a : arrays) std::memset(a, 0, sizeof(int) * kPaletteSize);
    }

    f_maxTextureSize = host->maxTextureSize();
    maxCanvasWidth = canvas::maxCanvasSize(host->screenWidth(), 200, f_maxTextureSize);
    maxCanvasHeight = canvas::maxCanvasSize(host->screenHeight(), 30, f_maxTextureSize);
    viewWidth = std::max(0, std::min(host->windowWidth(), maxCanvasWidth));
    viewHeight = std::max(0, std::min(host->windowHeight(), maxCanvasHeight));

    // Without a window nothing may make a texture.
    const bool textures = host->hasWindow();
    // The backdrop is only ever copied into the screen image, never drawn:
    // it needs no texture.
    allocateFilled(backdropImage, maxCanvasWidth, maxCanvasHeight, kWorkspaceColour, false);
    // The first frame's redraw uploads the screen image.
    allocateFilled(screenImage, maxCanvasWidth, maxCanvasHeight, kWorkspaceColour, textures, false);
    screenPixels = screenImage.getPixels();

    frontLayer.setUseTexture(false);
    backLayer.setUseTexture(false);
    displayImage.setUseTexture(false);

    allocateFilled(frontThumbnail, 50, 50, palette::Rgb{0, 0, 0}, textures);
    allocateFilled(backThumbnail, 50, 50, palette::Rgb{0, 0, 0}, textures);

    defaultArtwork();
    setupBrushParameters();

    {
        // The brush library saves these two on the GUI thread: no texture,
        // so nothing about them needs the GL context.
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        allocateFilled(brushColor, 256, 256, palette::Rgb{0, 0, 0}, false);
        allocateFilled(brushIconColor, 64, 64, palette::Rgb{0, 0, 0}, false);
    }
    allocateFilled(capturePreview, 64, 64, palette::Rgb{0, 0, 0}, textures);
    grabbedBox.setUseTexture(false);

    loadInterfaceImage(iconAlpha, "data/icon_alpha.png", textures, log);
    loadInterfaceImage(iconFront, "data/icon_front.png", textures, log);
    loadInterfaceImage(iconBack, "data/icon_back.png", textures, log);
    loadInterfaceImage(iconBrush, "data/icon_brush.png", textures, log);
    loadInterfaceImage(iconPaint, "data/icon_paint.png", textures, log);

    pointerX = static_cast<float>(mouseX);
    pointerY = static_cast<float>(mouseY);
    setupStrings();
    shiftTrail();

    requests::moveWorkState(kWorkSetup, kWorkIdle);

    gradientTool = nullptr;
    brushLibrary = nullptr;
    host->registerDialogs();
}

void wyrleApp::clearRequestFlags() {
    f_setPalette = false;
    f_setPaletteBasicHSV = false;
    f_setStrings = false;
    f_setupBrushParameters = false;
    f_centerTexture = false;
    f_changeShowBcg = 0;
    f_changeCollapse = 0;
    f_changeClearBack = 0;
    f_newArtwork = false;
}

void wyrleApp::update() {
    // A request taken in this step changes what the frame shows.
    const bool requested = requestsWaiting();
    ++frameSteps;
    frameStep();
    if (!frameNeedsDrawing(requested)) return;
    if (redrawBox.whole())
        host->requestRedraw();
    else
        host->requestRedrawRegion(redrawBox.x, redrawBox.y, redrawBox.w, redrawBox.h);
}

bool wyrleApp::requestsWaiting() {
    return key != 0 || requests::workState() != kWorkIdle || f_setPalette.load() || f_setPaletteBasicHSV.load() ||
           f_setStrings.load() || f_setupBrushParameters.load() || f_centerTexture.load() ||
           f_changeShowBcg.load() != 0 || f_changeCollapse.load() != 0 || f_changeClearBack.load() != 0 ||
           f_newBrushPreset.load() != 0;
}

bool wyrleApp::frameNeedsDrawing(bool requested) {
    bool need = requested || frameDirty || strokeState != 0 || f_newBrushPreset.load() != 0 || f_centerTexture.load();
    frameDirty = false;
    collectShownState(shownState, shownCursor);
    need = need || shownState != drawnState;
    const bool cursor = cursorMoved(shownCursor, drawnCursor);
    redrawBox = need || !cursor ? RedrawBox{} : cursorBox(shownCursor, drawnCursor);
    return need || cursor;
}

wyrleApp::RedrawBox wyrleApp::cursorBox(const std::vector<float>& now, const std::vector<float>& drawn) {
    if (now.size() != drawn.size() || now.empty()) return RedrawBox{};
    float minX = now[0], maxX = now[0], minY = now[1], maxY = now[1];
    for (const std::vector<float>* marks : {&now, &drawn}) {
        for (size_t i = 0; i + 1 < marks->size(); i += 2) {
            const float x = (*marks)[i], y = (*marks)[i + 1];
            if (!(std::fabs(x) < 1e6f && std::fabs(y) < 1e6f)) return RedrawBox{};
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    // A mark runs from (x, y) to (x + 1, y); a margin takes in how the line
    // is rasterised.
    const int left = static_cast<int>(std::floor(minX)) - 2;
    const int top = static_cast<int>(std::floor(minY)) - 2;
    const int right = static_cast<int>(std::ceil(maxX)) + 4;
    const int bottom = static_cast<int>(std::ceil(maxY)) + 3;
    return RedrawBox{left, top, right - left, bottom - top};
}

void wyrleApp::collectShownState(std::vector<int64_t>& out, std::vector<float>& cursor) {
    out.clear();
    cursor.clear();
    const auto at = [](double v) -> int64_t {
        if (!(std::fabs(v) < 1e12)) return INT64_MIN;
        return std::llround(v * 256.0);
    };
    const int64_t bcgSum = f_bcgR.load() + f_bcgG.load() + f_bcgB.load();
    out.insert(out.end(), {canvasReady, f_newBrushPreset.load(), screenVersion, viewWidth, viewHeight,
                           at(f_scalez.load()), at(zoomRatio), at(canvasOffsetX), at(canvasOffsetY), canvasWidth,
                           canvasHeight, bcgSum < 380, f_changeShowLayers.load(), f_showBcg.load(), frontSpan().bpp,
                           backSpan().bpp, f_showCursor.load(), f_painterz.load(), f_eraserz.load(),
                           at(f_eraserzSize.load()), at(pointerX), at(pointerY), brush.partNum});
    // The brush cursor: a one-pixel mark per particle, when it is drawn.
    if (!(f_showCursor.load() && f_painterz.load())) return;
    for (int i = 1; i < brush.partNum && i < kParticleCount; ++i) {
        cursor.push_back(last2X[i]);
        cursor.push_back(last2Y[i]);
    }
}

bool wyrleApp::cursorMoved(const std::vector<float>& now, const std::vector<float>& drawn) {
    if (now.size() != drawn.size()) return true;
    for (size_t i = 0; i < now.size(); ++i)
        if (!(std::fabs(now[i] - drawn[i]) < 1.0f)) return true;
    return false;
}

void wyrleApp::frameStep() {
    if (halted) return;
    leftButtonBefore = leftButtonNow;
    // The poll only ends running strokes; without one it would be a round
    // trip to the X server every frame for nothing.
    leftButtonNow = strokeState != 0 && GetLMB();
    // A release outside the drawing window still ends the stroke.
    if (!leftButtonNow && leftButtonBefore && strokeState == 2) mouseReleased(0, 0, 0);

    if (key != 0) {
        const unsigned char k = key;
        key = 0;
        keyPressed(k);
    }

    followMinimised();

    gBasePositionX = host->windowPositionX();
    gBasePositionY = host->windowPositionY();
    int dockX = 0, dockY = 0;
    if (isMoving() && canvas::dockTarget(gBasePositionX.load(), gBasePositionY.load(), gGuiPositionX.load(),
                                         gGuiPositionY.load(), f_borderWidth.load(), f_borderHeight.load(), dockX,
                                         dockY))
        host->setWindowPosition(dockX, dockY);

    prevPointerX = pointerX;
    prevPointerY = pointerY;
    pointerX = static_cast<float>(mouseX);
    pointerY = static_cast<float>(mouseY);
    // backPending is left alone here: only the undo push that stores the
    // changed back layer clears it, so a change made during a stroke is kept.

    // Each code is tested after the previous one ran; those held during a
    // capture run first, in the order they were asked.
    runHeldRequests();
    if (requests::takeCode(kWorkNewArtwork)) fileRequest(FileRequest{kWorkNewArtwork, {}});
    if (requests::takeCode(kWorkLoad)) fileRequest(FileRequest{kWorkLoad, {}});
    if (requests::takeCode(kWorkSave)) fileRequest(FileRequest{kWorkSave, askedSave()});
    if (requests::take(f_setPalette)) paletka();
    if (requests::take(f_setPaletteBasicHSV)) paletkaBasicHSV();
    if (requests::take(f_setStrings)) setupStrings();
    if (requests::take(f_setupBrushParameters)) setupBrushParameters();
    brush = snapshotBrushParams();

    if (!canvasReady) return;

    if (strokeState != 0 && f_newBrushPreset.load() == 0 && bPan.load()) {
        const float s = f_scalez.load();
        canvasOffsetX += (pointerX - prevPointerX) / s;
        canvasOffsetX = canvas::viewClamp(canvasOffsetX, s, viewWidth, canvasWidth);
        canvasOffsetY += (pointerY - prevPointerY) / s;
        canvasOffsetY = canvas::viewClamp(canvasOffsetY, s, viewHeight, canvasHeight);
        redrawMode = 3;
        updateScreenOffsets();
    }

    updateParticles();
    render();
}

void wyrleApp::fileRequest(const FileRequest& request) {
    if (f_newBrushPreset.load() == 0 && heldRequests.empty()) {
        runFileRequest(request);
        return;
    }
    const auto same = [&request](const FileRequest& held) {
        return held.code == request.code && (held.code != kWorkSave || held.save.exporting == request.save.exporting);
    };
    heldRequests.erase(std::remove_if(heldRequests.begin(), heldRequests.end(), same), heldRequests.end());
    heldRequests.push_back(request);
    if (log) log->log("held until the brush capture ends", request.code);
}

void wyrleApp::runFileRequest(const FileRequest& request) {
    if (request.code == kWorkNewArtwork)
        newArtwork();
    else if (request.code == kWorkLoad)
        loadArtwork();
    else
        saveArtwork(request.save);
}

void wyrleApp::runHeldRequests() {
    while (!heldRequests.empty() && f_newBrushPreset.load() == 0) {
        const FileRequest next = heldRequests.front();
        heldRequests.erase(heldRequests.begin());
        runFileRequest(next);
        markFrameDirty();
    }
}

void wyrleApp::clampView() {
    const float s = f_scalez.load();
    canvasOffsetX = canvas::viewClamp(canvasOffsetX, s, viewWidth, canvasWidth);
    canvasOffsetY = canvas::viewClamp(canvasOffsetY, s, viewHeight, canvasHeight);
}

void wyrleApp::updateScreenOffsets() {
    screenOffsetX = canvasOffsetX / zoomRatio;
    screenOffsetY = canvasOffsetY / zoomRatio;
}

void wyrleApp::showToolWindowAgain() {
    host->showToolWindow(false);
    host->showToolWindow(true);
    host->onTop();
    toolWindowShown = true;
}

void wyrleApp::followMinimised() {
    if (Minimised && toolWindowShown) {
        host->showToolWindow(false);
        toolWindowShown = false;
    } else if (!Minimised && !toolWindowShown && host->windowWidth() > 0 && host->windowHeight() > 0) {
        showToolWindowAgain();
        // Nothing was drawn while minimised.
        redrawMode = 2;
        markFrameDirty();
    }
}

void wyrleApp::windowResized(int, int) {
    const int w = host->windowWidth();
    const int h = host->windowHeight();
    const int screenW = host->screenWidth();
    const int bw = f_borderWidth.load();
    const int bh = f_borderHeight.load();

    if (screenW > 0 && w >= screenW - 190) {
        // Widened to the screen: dock beside the tool window's home.
        host->setWindowPosition(3 * bw + bh + 201, bh + 28);
        host->setWindowShape(screenW - 4 * bw - 205, h);
        moveTo.set(4 * bh, 6 * bh - 2);
        bMove = true;
        host->wakeUpIdle();
        showToolWindowAgain();
    } else if (!toolWindowShown && w > 0 && h > 0) {
        showToolWindowAgain();
    }
    if (w <= 0 && h <= 0) {
        host->showToolWindow(false);
        toolWindowShown = false;
    }

    viewWidth = std::max(0, std::min(w, maxCanvasWidth));
    viewHeight = std::max(0, std::min(h, maxCanvasHeight));
    clampView();
    const float s = f_scalez.load();
    if (viewWidth >= canvasWidth * s) canvasOffsetX = canvas::centredOffset(s, viewWidth, canvasWidth);
    if (viewHeight >= canvasHeight * s) canvasOffsetY = canvas::centredOffset(s, viewHeight, canvasHeight);
    redrawMode = 2;
    updateScreenOffsets();
    markFrameDirty();
}

bool wyrleApp::isMoving() {
    prevWindowX = windowX;
    prevWindowY = windowY;
    windowX = host->windowPositionX();
    windowY = host->windowPositionY();
    return windowX != prevWindowX || windowY != prevWindowY;
}

// ---- Particle chain ----

void wyrleApp::setupStrings() {
    // The masses follow the parameters as they are now.
    brush = snapshotBrushParams();
    ::setupStrings(chain, brush, pointerX, pointerY);
}

void wyrleApp::setupBrushParameters() {
    const BrushParams d;
    f_velInf = d.velInf;
    f_mass1 = d.mass1;
    f_DistZ = d.distZ;
    f_randd = d.randd;
    f_slow1 = d.slow1;
    f_PartStep = d.partStep;
    f_modes = d.modes;
    f_paintDetail = d.paintDetail;
    f_PartNum = d.partNum;
    f_mass2 = d.mass2;
    f_NormLen = d.normLen;
    f_fadez = d.fadez;
    f_fillz = d.fillz;
    f_spline = d.spline;
    setupStrings();
}

void wyrleApp::updateParticles() { particleStep(chain, brush, pointerX, pointerY); }

void wyrleApp::shiftTrail() { ::shiftTrail(chain); }

float wyrleApp::curvePoint(float p0, float p1, float p2, float p3, float t) { return ::curvePoint(p0, p1, p2, p3, t); }

void wyrleApp::exit() {
    clearMemory();
    delete log;
    log = nullptr;
    if (gLogging.load()) {
        const float seconds = ofGetElapsedTimef();
        // Frame steps, not drawn frames: a window at rest is not drawn again.
        std::printf("wyrleApp::exit, frames per second: %.1f\n", frameSteps / (seconds > 0 ? seconds : 1.0f));
        std::fflush(stdout);
    }
}
