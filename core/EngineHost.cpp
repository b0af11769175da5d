#include "EngineHost.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <wx/app.h>
#include <wx/msgdlg.h>

#include <cstdio>

#include "BaseApp.h"
#include "GuiBridge.h"
#include "ofAppRunner.h"
#include "ofGraphics.h"
#include "wyrleApp.h"

// The framework knows the screen only once the drawing window is set up.
bool StandardEngineHost::hasWindow() { return ofGetScreenWidth() > 0; }
int StandardEngineHost::screenWidth() { return ofGetScreenWidth(); }
int StandardEngineHost::screenHeight() { return ofGetScreenHeight(); }
int StandardEngineHost::windowWidth() { return ofGetWidth(); }
int StandardEngineHost::windowHeight() { return ofGetHeight(); }
int StandardEngineHost::windowPositionX() { return ofGetWindowPositionX(); }
int StandardEngineHost::windowPositionY() { return ofGetWindowPositionY(); }
void StandardEngineHost::setWindowPosition(int x, int y) { ofSetWindowPosition(x, y); }
void StandardEngineHost::setWindowShape(int w, int h) { ofSetWindowShape(w, h); }
void StandardEngineHost::setWindowTitle(const std::string& title) { ofSetWindowTitle(title); }
void StandardEngineHost::setFrameRate(int rate) { ofSetFrameRate(rate); }

void StandardEngineHost::setBackground(int r, int g, int b) {
    if (hasWindow()) ofBackground(r, g, b);
}

int StandardEngineHost::maxTextureSize() {
    if (!hasWindow()) return 0;
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}

void StandardEngineHost::installCallbacks() {
    if (!hasWindow()) return;
    glutKeyboardFunc(&wyrleApp::keyboard_cb);
    glutVisibilityFunc(&wyrleApp::stateFunc);
}

void StandardEngineHost::buttonTextZoom(const wxString& label) {
    if (engine_.baseApp) engine_.baseApp->ButtonTextZoom(label);
}

void StandardEngineHost::showToolWindow(bool show) {
    if (engine_.baseApp) engine_.baseApp->Show(show);
}

void StandardEngineHost::onTop() {
    if (engine_.baseApp) engine_.baseApp->OnTop();
}

void StandardEngineHost::backgroundColorBitmap() {
    if (engine_.baseApp) engine_.baseApp->backgroundColorBitmap();
}

void StandardEngineHost::registerDialogs() {
    if (!engine_.baseApp) return;
    engine_.baseApp->RegisterGradientDialog();
    engine_.baseApp->RegisterSaveBrushDialog();
}

void StandardEngineHost::fatalMessage(const wxString& text, const wxString& caption) {
    if (!wxTheApp) {
        std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
        ofEndProcess(1);
    }
    // One task, so the end cannot overtake the box in a nested event loop.
    const wxString t = guibridge::deepCopy(text);
    const wxString c = guibridge::deepCopy(caption);
    guibridge::post([t, c]() {
        wxMessageBox(t, c, wxOK | wxCENTRE);
        ofEndProcess(1);
    });
}
