#pragma once
// The painting engine: one object on the render thread for the whole run.
// It owns the canvas layers, the view, the particle chain, the colour
// accumulators, the eraser mask and the undo ring, and runs one frame step
// per frame. The pixel work itself lives in plain functions (canvas.h,
// particles.h, stroke.h, eraser.h, undo.h, screen.h, artwork.h) that the
// methods below call.
//
// Where the methods live: wyrleApp.cpp (set-up, frame step, resizing, exit,
// the particle chain), input.cpp (keys, buttons, cursors), draw.cpp (render,
// draw, the screen image, the brush-preset capture), setup.cpp (the
// document: artwork, canvas memory, undo sizing, palettes, memory fallback).
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
#include <vector>

#include "MyOfImage.h"
#include "brushparams.h"
#include "canvas.h"
#include "ofBaseApp.h"
#include "particles.h"
#include "stroke.h"
#include "undo.h"

class BaseApp;
class EngineHost;
class GradientDialog;
class Log;
class SaveBrushDialog;
class SettingsHandler;

class wyrleApp : public ofBaseApp {
public:
    // Sizes of the fixed arrays.
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
    void draw() override;
    void exit() override;
    void windowResized(int w, int h) override;
    void keyPressed(int key) override;
    void keyReleased(int key) override;
    void mouseMoved(int x, int y) override;
    void mouseDragged(int x, int y, int button) override;
    void mousePressed(int x, int y, int button) override;
    using ofBaseApp::mouseReleased;
    void mouseReleased(int x, int y, int button) override;

    // ---- Set-up and frame step ----
    // Lowers every request flag; f_workState is left alone, so a request
    // raised before set-up stays.
    static void clearRequestFlags();
    // The methods the frame step calls are virtual so that a test can record
    // their order without a window.
    // True when the drawing window moved since the previous call.
    bool isMoving();
    // The tool window hides while the drawing window is minimised and comes
    // back, with its open dialogs, when it is restored.
    void followMinimised();
    void showToolWindowAgain();
    // Brings the offsets back within the view (both axes).
    void clampView();
    // screenOffsetX/Y from the canvas offsets.
    void updateScreenOffsets();

    // ---- Drawing on demand ----
    // update() runs the frame step every frame, but the window is drawn
    // only when what it shows changed: input, a request, a running stroke or
    // fade, a capture, a resize, a minimise or restore, a new screen image,
    // or anything else draw() shows.
    void frameStep();
    // Something shown changed outside the frame step: draw the next frame.
    void markFrameDirty() { frameDirty = true; }
    // A request is waiting in a flag or the slot, or a key in the deferred key.
    static bool requestsWaiting();
    bool frameNeedsDrawing(bool requested);
    // What draw() shows besides the screen image's pixels (positions in
    // 1/256 pixels), and the brush cursor's marks.
    void collectShownState(std::vector<int64_t>& out, std::vector<float>& cursor);
    // A mark moved by a pixel or more since it was drawn. Resting near the
    // pointer the chain trembles by less than that for ever; redrawing it
    // for that would keep the window busy while nothing happens.
    static bool cursorMoved(const std::vector<float>& now, const std::vector<float>& drawn);
    // Part of the window in window pixels; empty means the whole window.
    struct RedrawBox {
        int x = 0, y = 0, w = 0, h = 0;
        bool whole() const { return w <= 0 || h <= 0; }
    };
    // What frameNeedsDrawing found to redraw: when only the brush cursor
    // moved, the box around all its marks as drawn and as they are now
    // (every mark is redrawn, so none is left behind where it was drawn).
    RedrawBox redrawBox;
    static RedrawBox cursorBox(const std::vector<float>& now, const std::vector<float>& drawn);

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
    void defaultArtwork();
    virtual void newArtwork();
    // Memory fallback: tells the user and builds the default canvas; if even
    // that fails it tries once more with the smallest ring, then ends the program.
    void renewArtwork();
    virtual void loadArtwork();
    // The two halves of loadArtwork: the picture as the artwork, or as the
    // back layer (f_fixedLoadPic).
    void openArtworkPicture();
    void loadBackLayerPicture();
    // A save or export as it was asked: the file and the alpha choices the
    // tool window handed over with code 3.
    struct SaveRequest {
        bool exporting = false;
        std::string path;
        bool withAlpha = false;
        bool straightAlpha = false;
    };
    static SaveRequest askedSave();
    void saveArtwork() { saveArtwork(askedSave()); }
    virtual void saveArtwork(const SaveRequest& request);
    void findBcgColor();
    void clearScene();
    void updateAllTexture();
    void setWindowName(std::string name);

    // ---- Input ----
    static void keyboard_cb(unsigned char key, int x, int y);
    static void stateFunc(int state);
    // freeglut's window-status callback: records whether the drawing window
    // is minimised (hidden) and passes its visibility on to stateFunc.
    static void windowStatusFunc(int status);
    virtual bool GetLMB();
    // [ and ]: the brush (f_PartNum) or the eraser one step smaller or larger.
    void toolSize(bool larger);
    static unsigned char key;
    static int KeyGlutGetModifiers;
    static int State;
    // The drawing window is minimised; the frame step hides and shows the
    // tool window to match.
    static bool Minimised;

    // ---- Particle chain ----
    virtual void setupStrings();
    virtual void setupBrushParameters();
    // The particle step of the frame.
    virtual void updateParticles();
    // Moves every trail one frame on: last3 := last2, last2 := last, last := now.
    void shiftTrail();
    static float curvePoint(float p0, float p1, float p2, float p3, float t);

    // ---- Painting, layers, screen ----
    virtual void render();
    void drawPoint3(int x, int y, int r, int g, int b);
    void collapseLayers();
    void centerTexture();
    void updateIcons();
    // The ring members as the undo kernels take them.
    undo::Ring undoRing();
    // The brush-preset capture's part of draw(): the view, the grabs and
    // the end of the capture.
    void captureStep();
    // Grabs the capture box into brushColor and brushIconColor; after a
    // stroke or a clear (`regrab`) the icon's backdrop takes the background colour.
    void grabPreview(bool regrab);
    // The overlays of draw(); GL, so only with a window.
    void drawLayerPanel();
    void drawBrushCursor();
    void drawEraserRing();
    void drawCaptureOverlay();

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
    // The file the artwork is known by: the new, opened or last saved one.
    std::string documentName;
    int dirtyMinX = 0, dirtyMaxX = 0, dirtyMinY = 0, dirtyMaxY = 0;
    int visibleMinX = 0, visibleMaxX = 0, visibleMinY = 0, visibleMaxY = 0;
    int captureBoxX = 0, captureBoxY = 0, captureBoxWidth = 256, captureBoxHeight = 256;
    bool frameDirty = true;
    int frameSteps = 0;
    // Counts changes of the screen image and the thumbnails.
    int64_t screenVersion = 0;
    std::vector<int64_t> shownState;  // this frame's, and the last drawn one's
    std::vector<int64_t> drawnState;
    std::vector<float> shownCursor, drawnCursor;

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
    // The chain the kernels step; the arrays below are views of it.
    ParticleChain chain;
    int& particleCount = chain.particleCount;
    float& springStiffness = chain.springStiffness;
    float (&nowX)[kParticleCount] = chain.nowX;
    float (&nowY)[kParticleCount] = chain.nowY;
    float (&lastX)[kParticleCount] = chain.lastX;
    float (&lastY)[kParticleCount] = chain.lastY;
    float (&last2X)[kParticleCount] = chain.last2X;
    float (&last2Y)[kParticleCount] = chain.last2Y;
    float (&last3X)[kParticleCount] = chain.last3X;
    float (&last3Y)[kParticleCount] = chain.last3Y;
    float (&velX)[kParticleCount] = chain.velX;
    float (&velY)[kParticleCount] = chain.velY;
    float (&mass)[kParticleCount] = chain.mass;
    // This frame's brush parameters, held to their ranges.
    BrushParams brush;

    // ---- Stroke ----
    // Fade and palette clock, carried from frame to frame.
    StrokeProgress progress;
    bool& strokeEndPending = progress.strokeEndPending;
    float& fadeFactor = progress.fadeFactor;
    float& fadeFactorSaved = progress.fadeFactorSaved;
    float& paletteCounter = progress.paletteCounter;
    int& paletteIndex = progress.paletteIndex;
    int paletteLast = kPaletteLast;
    // The left button went up before render took the press: the stroke
    // must still end, though its first frame clears strokeEndPending.
    bool releasedBeforeStart = false;
    // The left button's press was taken as a stroke (not a pan): its release
    // stores the stroke for undo, whatever the other buttons did meanwhile.
    bool leftStroke = false;

    // ---- Colour pipeline ----
    int* pixelMap = nullptr;  // canvasWidth x canvasHeight, all 0 between frames
    // The fixed touched list with its colour sums, and the pixel map in use.
    PaintAccumulator accum;
    int& touchedCount = accum.touchedCount;

    // ---- Eraser ----
    float eraserMask[kEraserMaskSize][kEraserMaskSize] = {};
    bool eraserIdle = false;
    float eraserLastX = 0, eraserLastY = 0;
    int eraserCenterX = 0, eraserCenterY = 0;

    // ---- Undo ring ----
    unsigned char** undoBuffers = nullptr;  // f_undoMax + 1 buffers of undoFrameBytes
    int undoBufferCount = 0;                // buffers the last set-up allocated: f_undoMax + 1 when complete
    std::size_t undoFrameBytes = 0;         // one canvas at canvasBytesPerPixel
    std::size_t undoBufferBytes = 0;        // the size the buffers were mapped with
    undo::RingPreparer ringPreparer;        // faults in the next push's buffers
    int canvasBytesPerPixel = 0;            // the front layer's depth at set-up
    int undoHasBack[kUndoSlots] = {};
    int undoBcgR[kUndoSlots] = {}, undoBcgG[kUndoSlots] = {}, undoBcgB[kUndoSlots] = {};
    int backPending = 0;
    int undoPos = 0, undoOldest = 0, undoRedoEnd = 0;
    int allocFailIndex = -1;

    // ---- Stroke and request flags cleared by the canvas set-up ----
    // (strokeEndPending lives in `progress`.)
    bool pickerActive = false;
    bool undoPending = false;
    bool regrabPending = false;
    bool canvasClear = false;

    // ---- Brush-preset capture ----
    // f_newBrushPreset as render read it this frame; draw goes by the same.
    int frameCapture = 0;
    // This capture has taken its first sample: only then does a 3 end it
    // (restore and re-centre). A 3 with nothing running just goes back to 0.
    bool captureTaken = false;
    // The grab, made on the render thread before it is copied into the two
    // shared preview pictures under their lock.
    MyOfImage grabbedBox;
    // A copy of brushIconColor with a texture, for the capture overlay
    // (the shared pictures have none: the GUI thread saves them).
    MyOfImage capturePreview;

    // ---- File requests during a capture ----
    // While a capture runs the front layer holds its sample, not the
    // artwork: new, open, save and export taken from the slot then wait here
    // and run, in the order asked, once the capture has given the canvas
    // back. A request asked again replaces its earlier one; a save keeps the
    // file and options it was asked with, so a later export does not turn it
    // into a second export.
    struct FileRequest {
        int code = 0;
        SaveRequest save;
    };
    std::vector<FileRequest> heldRequests;
    void fileRequest(const FileRequest& request);
    void runFileRequest(const FileRequest& request);
    void runHeldRequests();

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
