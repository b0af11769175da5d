// Stand-ins for the artwork operations, until the artwork code lands: just
// enough to build the blank canvas set-up needs and to keep the request slot
// moving. Replace this file whole.

#include <mutex>

#include "EngineGlobals.h"
#include "EngineHost.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "canvas.h"
#include "ofUtils.h"
#include "wyrleApp.h"

namespace {

palette::Rgb background() { return palette::Rgb{f_bcgR.load(), f_bcgG.load(), f_bcgB.load()}; }

}  // namespace

// Stand-in.
void wyrleApp::defaultArtwork() {
    setDefaultCanvasSettings();
    f_loadFile.set("wyrleArtwork.png");
    f_loadFileBcg.set("wyrleArtwork.png");
    f_saveFile.set("wyrleArtwork.png");
    f_exportFile.set("wyrleArtwork.png");
    f_export = false;
    gSaveAs = false;
    setDefaultArtworkPalette();
    newArtwork();
}

// Stand-in: a blank canvas of f_sx x f_sy in the background colour.
void wyrleApp::newArtwork() {
    clearMemoryLoad();
    f_loadFile.set("wyrleArtwork.png");
    f_loadFileBcg.set("wyrleArtwork.png");
    f_saveFile.set("wyrleArtwork.png");
    f_exportFile.set("wyrleArtwork.png");
    gSaveAs = false;

    canvasWidth = f_sx.load();
    canvasHeight = f_sy.load();
    const int alpha = f_alphaBCG.load() ? 1 : 0;
    f_alphaBCGload = alpha;
    const int type = alpha ? OF_IMAGE_COLOR_ALPHA : OF_IMAGE_COLOR;
    bool allocated = canvas::frameBytes(canvasWidth, canvasHeight, 3 + alpha) > 0;
    for (MyOfImage* image : {&frontLayer, &backLayer, &displayImage}) {
        image->setUseTexture(false);
        if (allocated) image->allocate(canvasWidth, canvasHeight, type);
        const canvas::PixelSpan span = spanOf(*image);
        allocated = allocated && span.valid() && span.w == canvasWidth && span.h == canvasHeight &&
                    span.bpp == 3 + alpha;
    }
    refreshPixelPointers();

    if (allocated) {
        canvas::fillLayer(frontSpan(), background());
        canvas::fillLayer(backSpan(), background());
    }
    f_showBcg = false;
    if (allocated) updateAllTexture();
    f_fixedLoadPic = false;

    if (!allocated || !setupParameters()) {
        renewArtwork();
        return;
    }
    setWindowName(std::string(f_loadFile.get().utf8_str()));
    f_newArtwork = true;
    requests::finish(kWorkNewArtwork);
    f_alphaBCGsave = f_alphaBCG.load();
}

// Stand-in: drops the request.
void wyrleApp::loadArtwork() {
    requests::finish(kWorkLoad);
}

// Stand-in: drops the request.
void wyrleApp::saveArtwork() {
    requests::finish(kWorkSave);
}

// Stand-in.
void wyrleApp::clearScene() {
    canvas::fillLayer(frontSpan(), background());
}

// Stand-in.
void wyrleApp::updateAllTexture() {
    canvas::recompose(frontSpan(), backSpan(), displaySpan(), background(), f_showBcg.load());
    setWindowName(std::string(f_loadFile.get().utf8_str()));
    updateIcons();
    redrawMode = 2;
}

// Stand-in.
void wyrleApp::setWindowName(std::string name) {
    const size_t cut = name.find_last_of("/\\");
    if (cut != std::string::npos && cut != 0) name = name.substr(cut + 1);
    windowTitle = name + " | " + ofToString(canvasWidth) + "x" + ofToString(canvasHeight) +
                  (f_alphaBCG.load() ? " pixels with Alpha" : " pixels") + " | " +
                  ofToString(static_cast<int>(f_scalez.load() * 100.0f + 0.5f)) + "%" +
                  (f_showBcg.load() ? " | Back Layer On" : " | Back Layer Off") +
                  (f_alphaBCGload.load() ? " (A)" : "");
    host->setWindowTitle(windowTitle);
}
