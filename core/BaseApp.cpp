#include "BaseApp.h"

#include "GradientDialog.h"
#include "GuiBridge.h"
#include "SaveBrushDialog.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"
#include "ofAppRunner.h"
#include "wyrleApp.h"

BaseApp* BaseApp::m_pInstance = nullptr;

BaseApp::BaseApp() : wxThread(wxTHREAD_DETACHED), width(960), height(682 + 2 * f_borderHeight.load()) {}

BaseApp* BaseApp::Instance() {
    if (!m_pInstance)
        m_pInstance = new BaseApp();
    return m_pInstance;
}

void* BaseApp::Entry() {
    ofSetupOpenGL(&window, width, height, 0);
    wyrleApp* engine = new wyrleApp();
    engine->baseApp = this;
    {
        std::lock_guard<std::mutex> lock(appMutex);
        app.store(engine, std::memory_order_release);
    }
    ofRunApp(engine);
    return nullptr;
}

void BaseApp::forgetEngine(const wyrleApp* engine) {
    std::lock_guard<std::mutex> lock(appMutex);
    if (app.load(std::memory_order_acquire) == engine)
        app.store(nullptr, std::memory_order_release);
}

template <class F>
void BaseApp::onFrame(F fn) {
    WyrleFrame* f = frame;
    if (!f)
        return;
    guibridge::post([f, fn]() { fn(*f); });
}

void BaseApp::UserActed(unsigned long serverTime) {
    onFrame([serverTime](WyrleFrame&) { dialogkit::noteUserTime(serverTime); });
}

void BaseApp::NewDialog() { onFrame([](WyrleFrame& f) { f.NewDialog(); }); }
void BaseApp::LoadDialog() { onFrame([](WyrleFrame& f) { f.LoadDialog(); }); }
void BaseApp::Save() { onFrame([](WyrleFrame& f) { f.Save(); }); }
void BaseApp::SaveAsDialog() { onFrame([](WyrleFrame& f) { f.SaveDialog(); }); }
void BaseApp::SliderSize(int n) { onFrame([n](WyrleFrame& f) { f.SetSliderSize(n); }); }
void BaseApp::SliderEraserSize(int n) { onFrame([n](WyrleFrame& f) { f.SetSliderEraserSize(n); }); }

void BaseApp::ButtonTextZoom(wxString label) {
    wxString copy = guibridge::deepCopy(label);
    onFrame([copy](WyrleFrame& f) { f.SetZoomLabel(copy); });
}

void BaseApp::ZoomPlusClick() { onFrame([](WyrleFrame& f) { f.ZoomPlusClick(); }); }
void BaseApp::ZoomMinusClick() { onFrame([](WyrleFrame& f) { f.ZoomMinusClick(); }); }
void BaseApp::ZoomResetClick() { onFrame([](WyrleFrame& f) { f.ZoomResetClick(); }); }
void BaseApp::BrushClick() { onFrame([](WyrleFrame& f) { f.BrushClick(); }); }
void BaseApp::EraserClick() { onFrame([](WyrleFrame& f) { f.EraserClick(); }); }
void BaseApp::ShowBcgSelected() { onFrame([](WyrleFrame& f) { f.ShowBcgSelected(); }); }
void BaseApp::HelpSelected() { onFrame([](WyrleFrame& f) { f.HelpSelected(); }); }
void BaseApp::OnTop() { onFrame([](WyrleFrame& f) { f.OnTop(); }); }
void BaseApp::Show(bool show) { onFrame([show](WyrleFrame& f) { showToolWindow(f, show); }); }
void BaseApp::backgroundColorBitmap() { onFrame([](WyrleFrame& f) { f.backgroundColorBitmap(); }); }

void BaseApp::RegisterGradientDialog() {
    wyrleApp* engine = app.load(std::memory_order_acquire);
    if (engine && frame)
        engine->gradientTool = frame->gradientDialog;
}

void BaseApp::RegisterSaveBrushDialog() {
    wyrleApp* engine = app.load(std::memory_order_acquire);
    if (engine && frame)
        engine->brushLibrary = frame->saveBrushDialog;
}
