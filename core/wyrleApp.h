#pragma once
// The painting engine: one object on the render thread for the whole run.
// It owns the canvas layers, the view, the particle chain, the colour
// accumulators, the eraser mask and the undo ring, and runs one frame step
// per frame. The pixel work itself lives in plain functions (canvas.h,
// palette.h and their siblings) that the methods below call.
//
// Where the methods live: wyrleApp.cpp (set-up, frame step, resizing, exit),
// setup.cpp (canvas memory, undo sizing, palettes, memory fallback); the
// painting, input, layer and artwork code fill in the rest. Methods marked
// "stand-in" have a minimal body in standin_*.cpp until their own code lands;
// those marked "not yet defined" have no body yet and nothing calls them.
//
// Every pass over the canvas takes its strides from the buffers themselves
// (frontSpan() and the like, or canvasBytesPerPixel and undoFrameBytes as the
// last set-up stored them), never from f_alphaBCG, which the GUI may change
// before its request is taken. Nothing touches the canvas buffers while
// canvasReady is false.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "MyOfImage.h"
#include "brushparams.h"
#include "canvas.h"
#include "ofBaseApp.h"

class BaseApp;
class EngineHost;
class GradientDialog;
class Log;
class SaveBrushDialog;
class SettingsHandler;

class wyrleApp : public ofBaseApp {
public:
    // Sizes of the fixed arrays.
    static constexpr int kTouchedEntries = 1001000;  // entry 0 unused
    static constexpr int kEraserMaskSize = 401;      // offsets -200..200
    static constexpr int kUndoSlots = 202;           // f_undoMax + 1 at most
    // allocFailIndex when the pixel map could not be allocated.
    static constexpr int kPixelMapFailed = 1003;

    wyrleApp();
    ~wyrleApp() override;
    wyrleApp(const wyrleApp&) = delete;
    wyrleApp& operator=(const wyrleApp&) = delete;

    // ---- ofBaseApp, in its slot order ----
    void setup() override;
    void update() override;
    void draw() override;                                    // stand-in
    void exit() override;
    void windowResized(int w, int h) override;
    void keyPressed(int key) override;                       // stand-in
    void keyReleased(int key) override;                      // stand-in
    void mouseMoved(int x, int y) override;                  // stand-in
    void mouseDragged(int x, int y, int button) override;    // stand-in
    void mousePressed(int x, int y, int button) override;    // stand-in
    using ofBaseApp::mouseReleased;
    void mouseReleased(int x, int y, int button) override;  // stand-in

    // ---- Set-up and frame step ----
    // The methods the frame step calls are virtual so that a test can record
    // their order without a window.
    // True when the drawing window moved since the previous call.
    bool isMoving();
    // Brings the offsets back within the view (both axes).
    void clampView();
    // screenOffsetX/Y from the canvas offsets.
    void updateScreenOffsets();

    // ---- Canvas memory ----
    void setUndoMemory();
    // Per-canvas set-up after the layers have their new size and content;
    // false when memory ran out (the caller then falls back to the default canvas).
    bool setupParameters();
    void clearMemoryLoad();
    void clearMemory();
    // Allocation seam, so tests can make any buffer fail. `which` is the
    // undo buffer number or kPixelMapFailed for the pixel map; `zeroed`
    // asks for memory filled with 0.
    virtual void* allocateBlock(std::size_t bytes, int which, bool zeroed);
    virtual void freeBlock(void* block, int which);

    // ---- Palettes ----
    virtual void paletka();
    void paletkaBasic();
    virtual void paletkaBasicHSV();
    static void RGB_2_HSL(float R, float G, float B, float& H, float& S, float& L);
    static void HSL_2_RGB(float H, float S, float L, float& R, float& G, float& B);
    static float Hue_2_RGB(float m1, float m2, float vH);
    // The default artwork's gradient stops and basic colour.
    static void setDefaultArtworkPalette();
    // The default canvas: 800 x 600, black, no alpha (f_sx, f_sy, the
    // background colour, f_alphaBCG, f_alphaBCGsave).
    static void setDefaultCanvasSettings();

    // ---- Artwork ----
    void defaultArtwork();                   // stand-in
    virtual void newArtwork();               // stand-in
    // Memory fallback: tells the user and builds the default canvas; if even
    // that fails it tries once more with the smallest ring, then ends the program.
    void renewArtwork();
    virtual void loadArtwork();              // stand-in
    virtual void saveArtwork();              // stand-in
    void findBcgColor();                     // not yet defined
    void clearScene();                       // stand-in
    void updateAllTexture();                 // stand-in
    void setWindowName(std::string name);    // stand-in

    // ---- Input ----
    static void keyboard_cb(unsigned char key, int x, int y);  // stand-in
    static void stateFunc(int state);                          // stand-in
    virtual bool GetLMB();                                     // stand-in
    static unsigned char key;
    static int KeyGlutGetModifiers;
    static int State;

    // ---- Particle chain ----
    virtual void setupStrings();             // stand-in
    virtual void setupBrushParameters();     // stand-in
    // The particle step of the frame.
    virtual void updateParticles();          // stand-in
    // Moves every trail one frame on: last3 := last2, last2 := last, last := now.
    void shiftTrail();
    static float curvePoint(float p0, float p1, float p2, float p3, float t);  // not yet defined

    // ---- Painting, layers, screen ----
    virtual void render();                   // stand-in
    void drawPoint3(int x, int y, int r, int g, int b);  // not yet defined
    void collapseLayers();                                // not yet defined
    void centerTexture();                    // stand-in
    void updateIcons();                      // stand-in

    // ---- Buffers as spans, with each picture's own depth ----
    static canvas::PixelSpan spanOf(ofImage& image);
    canvas::PixelSpan frontSpan() { return spanOf(frontLayer); }
    canvas::PixelSpan backSpan() { return spanOf(backLayer); }
    canvas::PixelSpan displaySpan() { return spanOf(displayImage); }
    // Refreshes frontPixels, backPixels, displayPixels and screenPixels.
    void refreshPixelPointers();

    // ---- Services ----
    BaseApp* baseApp = nullptr;              // not owned
    SettingsHandler* settingsHandler = nullptr;
    GradientDialog* gradientTool = nullptr;  // not owned
    SaveBrushDialog* brushLibrary = nullptr; // not owned
    Log* log = nullptr;
    // The window, driver and tool window as the engine sees them; a test may
    // point this at its own host before set-up.
    EngineHost* host = nullptr;

    // ---- Input and view ----
    bool leftButtonNow = false;
    bool leftButtonBefore = false;
    float pointerX = 0, pointerY = 0;
    float prevPointerX = 0, prevPointerY = 0;
    int windowX = 0, windowY = 0;
    int prevWindowX = 0, prevWindowY = 0;
    int strokeState = 0;                     // 0 none, 1 pressed, 2 running
    // The view is being panned; the GUI thread's key handler writes it too.
    std::atomic<bool> bPan{false};
    bool toolWindowShown = false;
    int modifiers = 0;

    int viewWidth = 0, viewHeight = 0;
    int maxCanvasWidth = 0, maxCanvasHeight = 0;
    float canvasOffsetX = 0, canvasOffsetY = 0;  // canvas pixels
    float screenOffsetX = 0, screenOffsetY = 0;  // window pixels
    float zoomRatio = 1;                         // 1 / f_scalez
    int redrawMode = 0;  // 0 nothing, 1 dirty rectangle, 2 all, 3 all with nearest sampling
    int canvasWidth = 0, canvasHeight = 0;
    std::string windowTitle;
    int dirtyMinX = 0, dirtyMaxX = 0, dirtyMinY = 0, dirtyMaxY = 0;
    int visibleMinX = 0, visibleMaxX = 0, visibleMinY = 0, visibleMaxY = 0;
    int captureBoxX = 0, captureBoxY = 0, captureBoxWidth = 256, captureBoxHeight = 256;

    // ---- Pictures ----
    MyOfImage frontLayer;      // the painting; no texture
    MyOfImage backLayer;       // the background picture; no texture
    MyOfImage displayImage;    // front over back; no texture
    MyOfImage screenImage;     // the zoomed view, maxCanvasWidth x maxCanvasHeight RGB
    MyOfImage backdropImage;   // the workspace colour around the canvas
    MyOfImage frontThumbnail;  // 50 x 50 RGB
    MyOfImage backThumbnail;
    MyOfImage iconAlpha, iconFront, iconBack, iconBrush, iconPaint;
    unsigned char* frontPixels = nullptr;
    unsigned char* backPixels = nullptr;
    unsigned char* displayPixels = nullptr;
    unsigned char* screenPixels = nullptr;

    // ---- Particle chain ----
    int particleCount = kParticleSlots;
    float springStiffness = 0.02f;
    float nowX[kParticleSlots] = {}, nowY[kParticleSlots] = {};
    float lastX[kParticleSlots] = {}, lastY[kParticleSlots] = {};
    float last2X[kParticleSlots] = {}, last2Y[kParticleSlots] = {};
    float last3X[kParticleSlots] = {}, last3Y[kParticleSlots] = {};
    float velX[kParticleSlots] = {}, velY[kParticleSlots] = {};
    float mass[kParticleSlots] = {};
    // This frame's brush parameters, held to their ranges.
    BrushParameters brush = defaultBrushParameters();

    // ---- Stroke ----
    float fadeFactor = 0, fadeFactorSaved = 0;
    float paletteCounter = 0;
    int paletteIndex = 0;
    int paletteLast = 3200;

    // ---- Colour pipeline ----
    int* pixelMap = nullptr;  // canvasWidth x canvasHeight, all 0 between frames
    int touchedPixels[kTouchedEntries] = {};
    int accumR[kTouchedEntries] = {};
    int accumG[kTouchedEntries] = {};
    int accumB[kTouchedEntries] = {};
    int touchedCount = 1;

    // ---- Eraser ----
    float eraserMask[kEraserMaskSize][kEraserMaskSize] = {};
    bool eraserIdle = false;
    float eraserLastX = 0, eraserLastY = 0;
    int eraserCenterX = 0, eraserCenterY = 0;

    // ---- Undo ring ----
    unsigned char** undoBuffers = nullptr;  // f_undoMax + 1 buffers of undoFrameBytes
    int undoBufferCount = 0;                // buffers the last set-up allocated: f_undoMax + 1 when complete
    std::size_t undoFrameBytes = 0;         // one canvas at canvasBytesPerPixel
    int canvasBytesPerPixel = 0;            // the front layer's depth at set-up
    int undoHasBack[kUndoSlots] = {};
    int undoBcgR[kUndoSlots] = {}, undoBcgG[kUndoSlots] = {}, undoBcgB[kUndoSlots] = {};
    int backPending = 0;
    int undoPos = 0, undoOldest = 0, undoRedoEnd = 0;
    int allocFailIndex = -1;

    // ---- Stroke and request flags cleared by the canvas set-up ----
    bool pickerActive = false;
    bool undoPending = false;
    bool strokeEndPending = false;
    bool regrabPending = false;
    bool canvasClear = false;

    // ---- Memory fallback ----
    // False while no canvas is allocated (before set-up, or after even the
    // default canvas failed): nothing may touch the canvas buffers then.
    bool canvasReady = false;
    int memoryFallbackLevel = 0;
    bool minimumRing = false;  // size the next ring at its minimum
    // Set once not even the default canvas could be had: the program is
    // ending, and the frame step takes no more requests.
    bool halted = false;

private:
    std::unique_ptr<EngineHost> ownHost;
};
