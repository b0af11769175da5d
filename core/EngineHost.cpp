#include "EngineHost.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <wx/app.h>

#include <algorithm>
#include <cstdio>

#include "BaseApp.h"
#include "GuiBridge.h"
#include "GuiPrompts.h"
#include "ofAppGlutWindow.h"
#include "ofAppRunner.h"
#include "ofGraphics.h"
#include "ofImage.h"
#include "ofUtils.h"
#include "wyrleApp.h"
#include "xinput.h"

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
    // The window-status callback also reports visibility (see stateFunc);
    // freeglut keeps one of the two.
    glutWindowStatusFunc(&wyrleApp::windowStatusFunc);
    // A held space bar must stay one press and one release, or a pan breaks
    // off at the first auto-repeat.
    if (!xinput::detectableAutoRepeatOnGlutDisplay())
        ofLog(OF_LOG_WARNING, "wyrleApp::setup - key auto-repeat cannot be made detectable");
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
        prompts::message(t, c);
        ofEndProcess(1);
    });
}

// Without a window no texture exists, so this only refreshes the fields.
void EngineHost::uploadRect(ofImage& image, int, int, int, int) { image.update(); }

void StandardEngineHost::drawOnDemand() { ofAppGlutWindow::setRedrawOnDemand(true); }

void StandardEngineHost::requestRedraw() { ofAppGlutWindow::requestRedraw(); }

void StandardEngineHost::requestRedrawRegion(int x, int y, int w, int h) {
    ofAppGlutWindow::requestRedrawRegion(x, y, w, h);
}

bool StandardEngineHost::leftButtonDown() { return xinput::leftButtonDown(); }

void StandardEngineHost::setCursor(int cursor) {
    if (hasWindow()) glutSetCursor(cursor);
}

void StandardEngineHost::wakeUpIdle() {
    if (wxTheApp) wxWakeUpIdle();
}

namespace {

// The commands that can show a dialog or a box, which answers the key press.
bool canShowAWindow(ToolCommand command) {
    switch (command) {
        case ToolCommand::NewDialog:
        case ToolCommand::LoadDialog:
        case ToolCommand::Save:
        case ToolCommand::SaveAsDialog:
        case ToolCommand::HelpSelected: return true;
        default: return false;
    }
}

}  // namespace

void StandardEngineHost::toolCommand(ToolCommand command) {
    BaseApp* app = engine_.baseApp;
    if (!app) return;
    if (canShowAWindow(command)) app->UserActed(xinput::serverTime());
    switch (command) {
        case ToolCommand::NewDialog: app->NewDialog(); break;
        case ToolCommand::LoadDialog: app->LoadDialog(); break;
        case ToolCommand::Save: app->Save(); break;
        case ToolCommand::SaveAsDialog: app->SaveAsDialog(); break;
        case ToolCommand::HelpSelected: app->HelpSelected(); break;
        case ToolCommand::BrushClick: app->BrushClick(); break;
        case ToolCommand::EraserClick: app->EraserClick(); break;
        case ToolCommand::ZoomPlusClick: app->ZoomPlusClick(); break;
        case ToolCommand::ZoomMinusClick: app->ZoomMinusClick(); break;
        case ToolCommand::ZoomResetClick: app->ZoomResetClick(); break;
        case ToolCommand::ShowBcgSelected: app->ShowBcgSelected(); break;
    }
}

void StandardEngineHost::sliderSize(int position) {
    if (engine_.baseApp) engine_.baseApp->SliderSize(position);
}

void StandardEngineHost::sliderEraserSize(int position) {
    if (engine_.baseApp) engine_.baseApp->SliderEraserSize(position);
}

bool StandardEngineHost::grabScreen(ofImage& image, int x, int y, int w, int h) {
    if (!hasWindow()) return false;
    image.grabScreen(x, y, w, h);
    return image.pixelBuffer.allocated && image.pixelBuffer.width == w && image.pixelBuffer.height == h;
}

void StandardEngineHost::uploadRect(ofImage& image, int x, int y, int w, int h) {
    ofTexture& t = image.texture;
    const ofPixels& p = image.pixelBuffer;
    const bool fits = hasWindow() && image.useTexture && p.allocated && t.bAllocated() &&
                      t.allocWidth >= p.width && t.allocHeight >= p.height && t.glFormat == p.glFormat &&
                      t.width == p.width && t.height == p.height;
    x = std::max(0, x);
    y = std::max(0, y);
    w = std::min(w, p.width - x);
    h = std::min(h, p.height - y);
    if (!fits) {
        // The first upload makes the texture; after that only rectangles change.
        image.update();
        return;
    }
    if (w <= 0 || h <= 0) return;
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, p.width);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, x);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, y);
    glEnable(t.target);
    glBindTexture(t.target, t.textureId);
    glTexSubImage2D(t.target, 0, x, y, w, h, p.glFormat, t.pixelType, p.data);
    glDisable(t.target);
    glPopClientAttrib();
}
