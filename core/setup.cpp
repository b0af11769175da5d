// The engine's document side: new, opened and saved artwork, per-canvas
// memory (pixel map and undo ring), its sizing from the free memory, the
// palettes, and the memory fallback.

#include <wx/intl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "EngineGlobals.h"
#include "EngineHost.h"
#include "GuiBridge.h"
#include "Log.h"
#include "Requests.h"
#include "SettingsHandler.h"
#include "WyrleGlobals.h"
#include "artwork.h"
#include "memory.h"
#include "palette.h"
#include "undo.h"
#include "wyrleApp.h"

namespace {

// freeBlock's tag for the table of undo buffers.
const int kUndoTableBlock = -2;

palette::Gradient addGradient() { return palette::Gradient{paletteRadd, paletteGadd, paletteBadd}; }
palette::Gradient subGradient() { return palette::Gradient{paletteRsub, paletteGsub, paletteBsub}; }
palette::Gradient activeGradient() { return palette::Gradient{paletteR, paletteG, paletteB}; }

palette::Rgb background() { return palette::Rgb{f_bcgR.load(), f_bcgG.load(), f_bcgB.load()}; }

// File names travel as UTF-8, whatever the locale.
std::string narrow(const wxString& s) { return std::string(s.utf8_str()); }

void message(const char* text, const char* caption) {
    guibridge::messageBox(wxGetTranslation(wxString::FromUTF8(text)), wxGetTranslation(wxString::FromUTF8(caption)));
}

void setAllFileNames(const wxString& name) {
    f_loadFile.set(name);
    f_loadFileBcg.set(name);
    f_saveFile.set(name);
    f_exportFile.set(name);
}

int clampChannel(float v) {
    const int c = static_cast<int>(v);
    return c < 0 ? 0 : (c > 255 ? 255 : c);
}

// The complement and the active basic colour from an HSL colour and its RGB.
void setBasicDerived(float h, float s, float l, palette::Rgb add) {
    const palette::Rgb sub = palette::complementOfHsl(h, s, l);
    paletteBasicRsub = sub.r;
    paletteBasicGsub = sub.g;
    paletteBasicBsub = sub.b;
    const palette::Rgb active = f_additive.load() ? add : sub;
    paletteBasicR = active.r;
    paletteBasicG = active.g;
    paletteBasicB = active.b;
}

}  // namespace

namespace {
bool isUndoBuffer(int which) { return which >= 0 && which != wyrleApp::kPixelMapFailed; }
}  // namespace

void* wyrleApp::allocateBlock(std::size_t bytes, int which, bool zeroed) {
    if (bytes == 0) return nullptr;
    // Undo buffers are mappings of their own: resident only once written.
    if (isUndoBuffer(which)) return undo::mapBuffer(bytes);
    return zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
}

void wyrleApp::freeBlock(void* block, int which) {
    if (isUndoBuffer(which))
        undo::unmapBuffer(static_cast<unsigned char*>(block), undoBufferBytes);
    else
        std::free(block);
}

void wyrleApp::setUndoMemory() {
    if (!settingsHandler) settingsHandler = new SettingsHandler();
    settingsHandler->Load();
    const canvas::PixelSpan front = frontSpan();
    const int bpp = front.valid() ? front.bpp : 3 + (f_alphaBCG.load() ? 1 : 0);
    const canvas::UndoSizing sizing = canvas::undoSizingFor(platform::availablePhysicalMemory(),
                                                            settingsHandler->undoPercent, canvasWidth,
                                                            canvasHeight, bpp);
    f_undoPercent = sizing.percent;
    f_availPhysMem = sizing.avail;
    f_usePhysMem = sizing.use;
    f_undoMax = minimumRing ? 3 : sizing.undoMax;
}

bool wyrleApp::setupParameters() {
    strokeState = 0;

    const int zoomIndex = canvas::zoomFitIndex(viewWidth, viewHeight, canvasWidth, canvasHeight);
    f_scalezRangePos = zoomIndex;
    f_scalez = canvas::kZoomFactors[zoomIndex];
    zoomRatio = 1.0f / f_scalez.load();
    host->buttonTextZoom(wxString::FromUTF8(canvas::zoomLabel(f_scalez.load()).c_str()));

    canvasClear = false;
    bPan = false;
    pickerActive = false;
    undoPending = false;
    strokeEndPending = false;
    regrabPending = false;
    fadeFactor = 0;
    fadeFactorSaved = 0;
    f_showCursor = true;
    allocFailIndex = -1;
    std::fill(undoHasBack, undoHasBack + kUndoSlots, -1);
    backPending = 0;
    canvasReady = false;

    // The layers must already be the canvas, at a depth the ring can hold.
    const canvas::PixelSpan front = frontSpan();
    const std::size_t frame = canvas::frameBytes(canvasWidth, canvasHeight, front.bpp);
    if (!front.valid() || front.w != canvasWidth || front.h != canvasHeight || frame == 0) {
        allocFailIndex = kPixelMapFailed;
        return false;
    }
    canvasBytesPerPixel = front.bpp;
    undoFrameBytes = frame;
    const std::size_t pixels = front.pixels();

    pixelMap = static_cast<int*>(allocateBlock(pixels * sizeof(int), kPixelMapFailed, true));
    if (!pixelMap || !accum.attachMap(pixelMap, canvasWidth, canvasHeight)) {
        allocFailIndex = kPixelMapFailed;
        return false;
    }
    releasedBeforeStart = false;
    leftStroke = false;

    setUndoMemory();

    undoPos = 0;
    undoOldest = 0;
    undoRedoEnd = 2;
    undoBcgR[0] = f_bcgR.load();
    undoBcgG[0] = f_bcgG.load();
    undoBcgB[0] = f_bcgB.load();

    const int count = f_undoMax.load() + 1;
    // With overcommit a ring beyond the free memory would be granted now and
    // fail later, while painting: refuse it here.
    const int64_t needed = static_cast<int64_t>(count) * static_cast<int64_t>(frame) +
                           static_cast<int64_t>(pixels * sizeof(int));
    if (needed > f_availPhysMem.load()) {
        allocFailIndex = 0;
        return false;
    }
    undoBuffers = static_cast<unsigned char**>(allocateBlock(sizeof(unsigned char*) * count, kUndoTableBlock, true));
    if (!undoBuffers) {
        allocFailIndex = 0;
        return false;
    }
    undoBufferBytes = frame;
    for (int k = 0; k < count; ++k) {
        undoBuffers[k] = static_cast<unsigned char*>(allocateBlock(frame, k, false));
        if (!undoBuffers[k]) {
            allocFailIndex = k;
            return false;
        }
        undoBufferCount = k + 1;
    }
    ringPreparer.attach(undoBuffers, count, frame);
    ringPreparer.claim(0);
    std::memcpy(undoBuffers[0], front.px, frame);

    const float s = f_scalez.load();
    canvasOffsetX = (viewWidth / s - canvasWidth) * 0.5f;
    canvasOffsetY = (viewHeight / s - canvasHeight) * 0.5f;
    updateScreenOffsets();

    f_additive = f_bcgR.load() + f_bcgG.load() + f_bcgB.load() < 380;
    paletka();

    f_newBrushPreset = 0;
    captureTaken = false;
    f_centerTexture = true;
    canvasReady = true;
    return true;
}

void wyrleApp::clearMemoryLoad() {
    // Frees exactly what the last set-up allocated (all of the ring, the
    // buffers before the one that failed, or nothing), so a second release
    // frees nothing. The preparer lets go of the buffers first.
    ringPreparer.detach();
    for (int k = 0; k < undoBufferCount; ++k) freeBlock(undoBuffers[k], k);
    undoBufferCount = 0;
    if (undoBuffers) freeBlock(undoBuffers, kUndoTableBlock);
    undoBuffers = nullptr;
    accum.releaseMap();
    if (pixelMap) freeBlock(pixelMap, kPixelMapFailed);
    pixelMap = nullptr;
    canvasReady = false;
}

void wyrleApp::clearMemory() {
    clearMemoryLoad();
    frontPixels = nullptr;
    backPixels = nullptr;
    displayPixels = nullptr;
    screenPixels = nullptr;
}

void wyrleApp::setDefaultCanvasSettings() {
    f_sx = 800;
    f_sy = 600;
    f_bcgR = 0;
    f_bcgG = 0;
    f_bcgB = 0;
    f_alphaBCG = 0;
    f_alphaBCGsave = 0;
}

void wyrleApp::renewArtwork() {
    const wxString text = wxGetTranslation(artwork::kNoMemory);
    const wxString caption = wxGetTranslation(artwork::kCaptionNoMemory);
    if (memoryFallbackLevel >= 2) {
        // Not even the default canvas with the smallest ring fits.
        canvasReady = false;
        halted = true;
        host->fatalMessage(text, caption);
        return;
    }
    if (memoryFallbackLevel == 0)
        guibridge::messageBox(text, caption);
    else
        minimumRing = true;
    ++memoryFallbackLevel;
    setDefaultCanvasSettings();
    newArtwork();
    --memoryFallbackLevel;
    if (memoryFallbackLevel == 0) minimumRing = false;
}

// ---- Artwork ----

void wyrleApp::defaultArtwork() {
    setDefaultCanvasSettings();
    setAllFileNames(artwork::kDefaultArtworkName);
    f_export = false;
    gSaveAs = false;
    setDefaultArtworkPalette();
    newArtwork();
}

void wyrleApp::newArtwork() {
    clearMemoryLoad();
    setAllFileNames(artwork::kDefaultArtworkName);
    documentName = narrow(f_loadFile.get());
    gSaveAs = false;

    canvasWidth = f_sx.load();
    canvasHeight = f_sy.load();
    const bool alpha = f_alphaBCG.load() != 0;
    f_alphaBCGload = alpha ? 1 : 0;
    const bool made =
        artwork::newArtworkLayers(frontLayer, backLayer, displayImage, canvasWidth, canvasHeight, alpha, background());
    refreshPixelPointers();
    f_showBcg = false;
    if (made) updateAllTexture();
    f_fixedLoadPic = false;

    if (!made || !setupParameters()) {
        renewArtwork();
        return;
    }
    setWindowName(documentName);
    f_newArtwork = true;
    host->wakeUpIdle();
    f_alphaBCGsave = alpha ? 1 : 0;
}

void wyrleApp::loadArtwork() {
    if (f_fixedLoadPic.load())
        loadBackLayerPicture();
    else
        openArtworkPicture();
}

void wyrleApp::openArtworkPicture() {
    const wxString file = f_loadFile.get();
    const std::string name = narrow(file);
    if (!artwork::readArtworkPicture(frontLayer, name)) {
        message(artwork::kCouldNotLoadPicture, artwork::kCaptionInfo);
        refreshPixelPointers();
        return;
    }

    clearMemoryLoad();
    artwork::OpenOptions options;
    options.chosen = palette::Rgb{f_bcgR_choose.load(), f_bcgG_choose.load(), f_bcgB_choose.load()};
    options.findAuto = f_findAutoBcgColor.load();
    options.premultiply = f_premultiplyAlpha.load();
    artwork::OpenResult result;
    const artwork::OpenStatus status =
        artwork::adoptArtworkPicture(frontLayer, backLayer, displayImage, name, options, result);
    refreshPixelPointers();
    if (status == artwork::OpenStatus::kNoMemory) {
        // The names stay "wyrleArtwork.png": a save must not overwrite the
        // opened picture with the blank canvas.
        renewArtwork();
        return;
    }

    canvasWidth = result.width;
    canvasHeight = result.height;
    f_sx = result.width;
    f_sy = result.height;
    f_alphaBCG = result.alpha ? 1 : 0;
    f_alphaBCGsave = result.alpha ? 1 : 0;
    f_alphaBCGload = result.backAlpha ? 1 : 0;
    f_bcgR = result.bg.r;
    f_bcgG = result.bg.g;
    f_bcgB = result.bg.b;
    host->backgroundColorBitmap();
    documentName = name;
    updateAllTexture();
    if (!setupParameters()) {
        renewArtwork();
        return;
    }
    f_saveFile.set(file);
    f_exportFile.set(file);
    // Save must ask before it writes over the opened original.
    gSaveAs = false;
    setWindowName(documentName);
    f_newArtwork = true;
    host->wakeUpIdle();
}

void wyrleApp::loadBackLayerPicture() {
    if (!canvasReady) return;
    undo::Ring ring = undoRing();
    undo::keepBackBeforeChange(ring, frontSpan(), backSpan(), backPending);
    undoPending = true;

    const std::string name = narrow(f_loadFileBcg.get());
    const artwork::BackStatus status = artwork::loadBackLayer(backLayer, name, canvasWidth, canvasHeight,
                                                              frontSpan().bpp == 4, background());
    refreshPixelPointers();
    if (status == artwork::BackStatus::kNotRead) {
        message(artwork::kCouldNotLoadBack, artwork::kCaptionInfo);
        return;
    }
    if (status == artwork::BackStatus::kNoFit) message(artwork::kBackNoMemory, artwork::kCaptionInfo);
    f_alphaBCGload = backSpan().bpp == 4 ? 1 : 0;
    f_showBcg = true;
    updateAllTexture();
}

wyrleApp::SaveRequest wyrleApp::askedSave() {
    SaveRequest r;
    r.exporting = f_export.load();
    r.path = narrow(r.exporting ? f_exportFile.get() : f_saveFile.get());
    r.withAlpha = f_alphaBCGsave.load() == 1;
    r.straightAlpha = f_premultiAlpha.load() == 1;
    return r;
}

void wyrleApp::saveArtwork(const SaveRequest& request) {
    const bool exporting = request.exporting;
    const std::string& path = request.path;
    artwork::SaveOptions options;
    options.exportFile = exporting;
    options.withAlpha = request.withAlpha;
    options.straightAlpha = request.straightAlpha;
    options.showBack = f_showBcg.load();
    options.bg = background();
    std::string why = "no canvas";
    if (!canvasReady || !artwork::saveArtwork(path, frontSpan(), backSpan(), options, &why)) {
        if (log) log->log("cannot save", (path + ": " + why).c_str());
        message(artwork::kCouldNotSave, artwork::kCaptionInfo);
        // The next Save asks for a name again instead of failing silently.
        if (!exporting) gSaveAs = false;
        return;
    }
    // Saved under a new name, the artwork is known by it from now on.
    if (!exporting && path != documentName) {
        documentName = path;
        setWindowName(documentName);
    }
}

void wyrleApp::findBcgColor() {
    palette::Rgb bg = background();
    if (!artwork::findBcgColor(frontSpan(), bg)) return;
    f_bcgR = bg.r;
    f_bcgG = bg.g;
    f_bcgB = bg.b;
}

void wyrleApp::clearScene() { canvas::fillLayer(frontSpan(), background()); }

void wyrleApp::updateAllTexture() {
    canvas::recompose(frontSpan(), backSpan(), displaySpan(), background(), f_showBcg.load());
    setWindowName(documentName);
    updateIcons();
    redrawMode = 2;
}

void wyrleApp::setWindowName(std::string name) {
    windowTitle = artwork::windowTitle(name, canvasWidth, canvasHeight, frontSpan().bpp == 4, f_scalez.load(),
                                       f_showBcg.load(), backSpan().bpp == 4);
    host->setWindowTitle(windowTitle);
}

// ---- Palettes ----

void wyrleApp::RGB_2_HSL(float R, float G, float B, float& H, float& S, float& L) {
    palette::RGB_2_HSL(R, G, B, H, S, L);
}

void wyrleApp::HSL_2_RGB(float H, float S, float L, float& R, float& G, float& B) {
    palette::HSL_2_RGB(H, S, L, R, G, B);
}

float wyrleApp::Hue_2_RGB(float m1, float m2, float vH) {
    return palette::Hue_2_RGB(m1, m2, vH);
}

void wyrleApp::paletka() {
    {
        // The gradient tool and the brush library write the stops on the GUI
        // thread; the build reads and rewrites them in place.
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        if (palette::buildGradient(paletteSet, addGradient(), kPaletteSize)) {
            palette::buildComplement(addGradient(), subGradient(), kPaletteSize);
            palette::selectActive(f_additive.load(), addGradient(), subGradient(), activeGradient(), kPaletteSize);
        }
    }
    paletkaBasic();
}

void wyrleApp::paletkaBasic() {
    const palette::Rgb add{paletteBasicRadd.load(), paletteBasicGadd.load(), paletteBasicBadd.load()};
    float h, s, l;
    palette::RGB_2_HSL(static_cast<float>(add.r), static_cast<float>(add.g), static_cast<float>(add.b), h, s, l);
    paletteBasicH = h;
    paletteBasicS = s;
    paletteBasicL = l;
    setBasicDerived(h, s, l, add);
}

void wyrleApp::paletkaBasicHSV() {
    const float h = paletteBasicH.load();
    const float s = paletteBasicS.load();
    const float l = paletteBasicL.load();
    float r, g, b;
    palette::HSL_2_RGB(h, s, l, r, g, b);
    const palette::Rgb add{clampChannel(r), clampChannel(g), clampChannel(b)};
    paletteBasicRadd = add.r;
    paletteBasicGadd = add.g;
    paletteBasicBadd = add.b;
    setBasicDerived(h, s, l, add);
}

void wyrleApp::setDefaultArtworkPalette() {
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        std::memset(paletteSet, 0, sizeof(int) * kPaletteSize);
        // Stops 0, 4 and 8 of the gradient tool.
        const struct { int index, r, g, b; } stops[] = {
            {0, 213, 25, 32}, {1600, 4, 167, 225}, {3200, 213, 25, 32}};
        for (const auto& s : stops) {
            paletteSet[s.index] = 1;
            paletteRadd[s.index] = s.r;
            paletteGadd[s.index] = s.g;
            paletteBadd[s.index] = s.b;
        }
    }
    paletteBasicRadd = 244;
    paletteBasicGadd = 78;
    paletteBasicBadd = 21;
    paletteBasicH = 0.0417f;
    paletteBasicS = 0.908f;
    paletteBasicL = 0.521f;
}
