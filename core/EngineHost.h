#pragma once
// What the engine needs of the drawing window, the GL driver and the tool
// window, in one place. The standard host forwards to the framework, GLUT
// and BaseApp; a test puts its own host in the engine and drives it with no
// window at all.

#include <wx/string.h>

#include <string>

class wyrleApp;

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

private:
    wyrleApp& engine_;
};
