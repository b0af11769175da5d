#pragma once
// What the engine needs of the drawing window, the GL driver and the tool
// window, in one place. The standard host forwards to the framework, GLUT
// and BaseApp; a test puts its own host in the engine and drives it with no
// window at all.

#include <wx/string.h>

#include <string>

class ofImage;
class wyrleApp;

// The tool window's commands that the drawing window's keys run.
enum class ToolCommand {
    NewDialog,
    LoadDialog,
    Save,
    SaveAsDialog,
    HelpSelected,
    BrushClick,
    EraserClick,
    ZoomPlusClick,
    ZoomMinusClick,
    ZoomResetClick,
    ShowBcgSelected,
};

class EngineHost {
public:
    virtual ~EngineHost() = default;

    // Drawing window and driver.
    virtual bool hasWindow() = 0;           // false: no GL context, no textures
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    virtual int windowWidth() = 0;
    virtual int windowHeight() = 0;
    virtual int windowPositionX() = 0;
    virtual int windowPositionY() = 0;
    virtual void setWindowPosition(int x, int y) = 0;
    virtual void setWindowShape(int w, int h) = 0;
    virtual void setWindowTitle(const std::string& title) = 0;
    virtual void setFrameRate(int rate) = 0;
    virtual void setBackground(int r, int g, int b) = 0;
    virtual int maxTextureSize() = 0;
    // The engine's own keyboard and visibility callbacks in place of the framework's.
    virtual void installCallbacks() = 0;

    // Tool window (each runs on the GUI thread, in call order).
    virtual void buttonTextZoom(const wxString& label) = 0;
    virtual void showToolWindow(bool show) = 0;
    virtual void onTop() = 0;
    virtual void backgroundColorBitmap() = 0;
    // Records the tool window's gradient tool and brush library in the engine.
    virtual void registerDialogs() = 0;
    // Shows the message and then ends the program: nothing more can run.
    virtual void fatalMessage(const wxString& text, const wxString& caption) = 0;

    // Input and painting. The defaults are those of a host without a
    // window: no button, no cursor, no screen to grab.
    virtual bool leftButtonDown() { return false; }
    // GLUT cursor shape (GLUT_CURSOR_INFO while panning, RIGHT_ARROW otherwise).
    virtual void setCursor(int) {}
    // The tool window's idle handler runs soon (after f_newArtwork or bMove).
    virtual void wakeUpIdle() {}
    virtual void toolCommand(ToolCommand) {}
    // Size slider position 1..300 and eraser-size slider position; each
    // also writes the slider's label.
    virtual void sliderSize(int) {}
    virtual void sliderEraserSize(int) {}
    // Reads the window rectangle with top-left (x, y) into `image`; false
    // when there is no window to read.
    virtual bool grabScreen(ofImage&, int, int, int, int) { return false; }
    // Uploads the rectangle (x, y, w, h) of `image`'s pixels into its texture.
    virtual void uploadRect(ofImage& image, int x, int y, int w, int h);
    // From now on the window is drawn only when asked; asks for the next
    // frame to be drawn.
    virtual void drawOnDemand() {}
    virtual void requestRedraw() {}
    // Only the rectangle (window pixels) needs drawing.
    virtual void requestRedrawRegion(int, int, int, int) {}
};

// A host without a window: a screen and a drawing window of set sizes, and
// nothing behind the tool-window calls. Tests and the benchmark start from it.
class HeadlessEngineHost : public EngineHost {
public:
    int screenW = 1920, screenH = 1080;
    int winW = 960, winH = 682;
    int posX = 201, posY = 28;

    bool hasWindow() override { return false; }
    int screenWidth() override { return screenW; }
    int screenHeight() override { return screenH; }
    int windowWidth() override { return winW; }
    int windowHeight() override { return winH; }
    int windowPositionX() override { return posX; }
    int windowPositionY() override { return posY; }
    void setWindowPosition(int x, int y) override {
        posX = x;
        posY = y;
    }
    void setWindowShape(int, int) override {}
    void setWindowTitle(const std::string&) override {}
    void setFrameRate(int) override {}
    void setBackground(int, int, int) override {}
    int maxTextureSize() override { return 16384; }
    void installCallbacks() override {}
    void buttonTextZoom(const wxString&) override {}
    void showToolWindow(bool) override {}
    void onTop() override {}
    void backgroundColorBitmap() override {}
    void registerDialogs() override {}
    void fatalMessage(const wxString&, const wxString&) override {}
    // Frame steps that asked for their frame to be drawn.
    int redrawRequests = 0;
    void requestRedraw() override { ++redrawRequests; }
};

// The host of the real program; its tool-window calls go through the
// engine's `baseApp` and do nothing while that is null.
class StandardEngineHost : public EngineHost {
public:
    explicit StandardEngineHost(wyrleApp& engine) : engine_(engine) {}

    bool hasWindow() override;
    int screenWidth() override;
    int screenHeight() override;
    int windowWidth() override;
    int windowHeight() override;
    int windowPositionX() override;
    int windowPositionY() override;
    void setWindowPosition(int x, int y) override;
    void setWindowShape(int w, int h) override;
    void setWindowTitle(const std::string& title) override;
    void setFrameRate(int rate) override;
    void setBackground(int r, int g, int b) override;
    int maxTextureSize() override;
    void installCallbacks() override;

    void buttonTextZoom(const wxString& label) override;
    void showToolWindow(bool show) override;
    void onTop() override;
    void backgroundColorBitmap() override;
    void registerDialogs() override;
    void fatalMessage(const wxString& text, const wxString& caption) override;

    bool leftButtonDown() override;
    void setCursor(int cursor) override;
    void wakeUpIdle() override;
    void toolCommand(ToolCommand command) override;
    void sliderSize(int position) override;
    void sliderEraserSize(int position) override;
    bool grabScreen(ofImage& image, int x, int y, int w, int h) override;
    void uploadRect(ofImage& image, int x, int y, int w, int h) override;
    void drawOnDemand() override;
    void requestRedraw() override;
    void requestRedrawRegion(int x, int y, int w, int h) override;

private:
    wyrleApp& engine_;
};
