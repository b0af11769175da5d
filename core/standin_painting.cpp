// Stand-ins for input, the particle chain, painting and the screen, until
// their own code lands: the engine runs, shows its canvas at the current zoom
// with nearest sampling, draws the frame and the layer panel, and keeps the
// request slot moving, but paints nothing. Replace this file whole.

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <cstring>

#include "EngineGlobals.h"
#include "EngineHost.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "canvas.h"
#include "ofGraphics.h"
#include "ofMath.h"
#include "wyrleApp.h"

unsigned char wyrleApp::key = 0;
int wyrleApp::KeyGlutGetModifiers = 1;
int wyrleApp::State = 3;

// Stand-in.
void wyrleApp::keyboard_cb(unsigned char k, int, int) {
    key = k;
    KeyGlutGetModifiers = glutGetModifiers();
}

// Stand-in.
void wyrleApp::stateFunc(int state) { State = state; }

// Stand-in: the button is never seen down.
bool wyrleApp::GetLMB() { return false; }

// Stand-in.
void wyrleApp::keyPressed(int) { modifiers = KeyGlutGetModifiers; }
void wyrleApp::keyReleased(int) {}
void wyrleApp::mouseMoved(int, int) {}
void wyrleApp::mouseDragged(int, int, int) {}
void wyrleApp::mousePressed(int, int, int) {}
void wyrleApp::mouseReleased(int, int, int) {}

// Stand-in: every particle on the pointer, at rest.
void wyrleApp::setupStrings() {
    brush = readBrushParameters();
    for (int i = 0; i < kParticleSlots; ++i) {
        nowX[i] = lastX[i] = last2X[i] = last3X[i] = pointerX;
        nowY[i] = lastY[i] = last2Y[i] = last3Y[i] = pointerY;
        velX[i] = velY[i] = 0;
        const float b = (brush.partNum - i) * brush.mass2 + brush.mass1;
        mass[i] = (ofRandomuf() * brush.randd + b) * 100 / brush.partNum;
    }
}

// Stand-in: the default brush.
void wyrleApp::setupBrushParameters() {
    const BrushParameters d = defaultBrushParameters();
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

// Stand-in: the chain stays where it is.
void wyrleApp::updateParticles() {}

// Stand-in.
void wyrleApp::render() {
    if (requests::pending(kWorkUndo)) requests::finish(kWorkUndo);
    if (requests::pending(kWorkRedo)) requests::finish(kWorkRedo);
    if (requests::pending(kWorkClearFront) || requests::pending(kWorkFillFront)) {
        const int code = requests::workState();
        clearScene();
        updateAllTexture();
        requests::finish(code);
    }
    shiftTrail();

    viewWidth = std::max(0, std::min(host->windowWidth(), maxCanvasWidth));
    viewHeight = std::max(0, std::min(host->windowHeight(), maxCanvasHeight));
    const canvas::PixelSpan screen = spanOf(screenImage);
    const canvas::PixelSpan backdrop = spanOf(backdropImage);
    const canvas::PixelSpan display = displaySpan();
    if (redrawMode != 0 && screen.valid() && display.valid() && backdrop.bytes() == screen.bytes()) {
        std::memcpy(screen.px, backdrop.px, screen.bytes());
        const int vw = std::min(viewWidth, screen.w);
        const int vh = std::min(viewHeight, screen.h);
        for (int y = 0; y < vh; ++y) {
            const float cy = (y - screenOffsetY) * zoomRatio;
            if (cy < 0 || cy >= display.h) continue;
            const size_t row = static_cast<size_t>(cy) * display.w;
            for (int x = 0; x < vw; ++x) {
                const float cx = (x - screenOffsetX) * zoomRatio;
                if (cx < 0 || cx >= display.w) continue;
                const unsigned char* from = display.px + (row + static_cast<size_t>(cx)) * display.bpp;
                std::memcpy(screen.px + (static_cast<size_t>(y) * screen.w + x) * 3, from, 3);
            }
        }
        screenImage.update();
    }
    redrawMode = 0;
}

// Stand-in: the screen image, the canvas frame and the layer panel.
void wyrleApp::draw() {
    if (!canvasReady) return;
    ofDisableAlphaBlending();
    ofNoFill();
    ofSetColor(255, 255, 255);
    screenImage.draw(0, 0);
    const float s = f_scalez.load();
    if (f_newBrushPreset.load() == 0) {
        const int grey = f_bcgR.load() + f_bcgG.load() + f_bcgB.load() < 380 ? 185 : 70;
        ofSetColor(grey, grey, grey);
        ofRect(s * canvasOffsetX - 0.25f, s * canvasOffsetY - 0.25f, canvasWidth * s + 0.5f,
               canvasHeight * s + 0.5f);
        if (f_changeShowLayers.load() == 1) {
            const float V = static_cast<float>(viewWidth);
            const bool both = f_showBcg.load();
            ofFill();
            ofEnableAlphaBlending();
            ofSetColor(64, 62, 60, both ? 90 : 80);
            ofRect(V - 70, 0, 70, both ? 130 : 70);
            ofDisableAlphaBlending();
            const int rows = both ? 2 : 1;
            for (int i = 0; i < rows; ++i) {
                ofSetColor(180, 180, 180);
                ofRect(V - 62, 8 + 60 * i, 54, 54);
                ofSetColor(60, 60, 60);
                ofRect(V - 61, 9 + 60 * i, 52, 52);
            }
            ofNoFill();
            ofSetColor(255, 255, 255);
            frontThumbnail.draw(V - 60, 10);
            if (both) backThumbnail.draw(V - 60, 70);
            ofEnableAlphaBlending();
            if (both) {
                if (iconFront.textureAllocated()) iconFront.draw(V - 61, 9);
                if (iconBack.textureAllocated()) iconBack.draw(V - 61, 69);
            }
            if (f_alphaBCG.load() == 1 && iconAlpha.textureAllocated()) iconAlpha.draw(V - 17, 9);
            if (both && f_alphaBCGload.load() == 1 && iconAlpha.textureAllocated()) iconAlpha.draw(V - 17, 69);
            ofDisableAlphaBlending();
        }
    }
    if (requests::take(f_centerTexture)) centerTexture();
}

// Stand-in: applies the zoom index and centres the canvas.
void wyrleApp::centerTexture() {
    const int index = std::min(canvas::kZoomSteps - 1, std::max(0, f_scalezRangePos.load()));
    const float s = canvas::kZoomFactors[index];
    f_scalez = s;
    zoomRatio = 1.0f / s;
    setWindowName(std::string(f_saveFile.get().utf8_str()));
    canvasOffsetX = (viewWidth / s - canvasWidth) * 0.5f;
    canvasOffsetY = (viewHeight / s - canvasHeight) * 0.5f;
    clampView();
    redrawMode = 2;
    updateScreenOffsets();
}

// Stand-in: thumbnails sampled from the layers.
void wyrleApp::updateIcons() {
    struct Pair {
        MyOfImage* thumb;
        canvas::PixelSpan from;
    };
    const Pair pairs[] = {{&frontThumbnail, frontSpan()}, {&backThumbnail, backSpan()}};
    for (const Pair& p : pairs) {
        const canvas::PixelSpan to = spanOf(*p.thumb);
        if (!to.valid() || !p.from.valid() || to.w != 50 || to.h != 50) continue;
        const int sx = p.from.w / 50, sy = p.from.h / 50;
        for (int v = 0; v < 50; ++v)
            for (int u = 0; u < 50; ++u) {
                const size_t at = (static_cast<size_t>(v) * sy * p.from.w + static_cast<size_t>(u) * sx) * p.from.bpp;
                std::memcpy(to.px + (static_cast<size_t>(v) * 50 + u) * 3, p.from.px + at, 3);
            }
        p.thumb->update();
    }
}
