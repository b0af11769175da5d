#pragma once

#include <wx/string.h>
#include <wx/thread.h>

#include <atomic>
#include <mutex>

#include "DialogKit.h"
#include "MyOfAppGlutWindow.h"

class wyrleApp;
class WyrleFrame;

// Shows or hides the tool window with the brush library and the gradient
// tool that were open with it; the two flags stay as they are, so a dialog
// hidden with the tool window comes back with it.
template <class Frame>
void showToolWindow(Frame& frame, bool show) {
    frame.Show(show);
    if (frame.bBrushesShown && frame.saveBrushDialog)
        dialogkit::showDialog(frame.saveBrushDialog, show);
    if (frame.bGradientShown && frame.gradientDialog)
        dialogkit::showDialog(frame.gradientDialog, show);
}

// The render thread. It opens the drawing window, runs the engine, and is the
// engine's way to the tool window: every operation below runs on the GUI
// thread, in the order the engine calls them.
class BaseApp : public wxThread {
public:
    static BaseApp* Instance();

    void* Entry() override;

    // A key press in the drawing window at this X server time asked for what
    // follows: the windows it shows take that time (see dialogkit::present).
    void UserActed(unsigned long serverTime);
    void NewDialog();
    void LoadDialog();
    void Save();
    void SaveAsDialog();
    void SliderSize(int n);
    void SliderEraserSize(int n);
    void ButtonTextZoom(wxString label);
    void ZoomPlusClick();
    void ZoomMinusClick();
    void ZoomResetClick();
    void BrushClick();
    void EraserClick();
    void ShowBcgSelected();
    void HelpSelected();
    void OnTop();
    void Show(bool show);
    void backgroundColorBitmap();
    // Plain pointer copies from a frame that was complete before the thread
    // started, so they run at once on the render thread.
    void RegisterGradientDialog();
    void RegisterSaveBrushDialog();

    // Runs fn(engine) on the GUI thread while the engine exists; the engine's
    // destructor waits for it and leaves nothing behind to reach. False when
    // there is no engine (before Entry made it, or after the exit handler).
    template <class F>
    bool withEngine(F fn) {
        std::lock_guard<std::mutex> lock(appMutex);
        wyrleApp* engine = app.load(std::memory_order_acquire);
        if (!engine)
            return false;
        fn(*engine);
        return true;
    }
    // Called by the engine as it is deleted.
    void forgetEngine(const wyrleApp* engine);

    MyOfAppGlutWindow window;
    // Set by Entry once the engine exists and cleared when it is deleted.
    std::atomic<wyrleApp*> app{nullptr};
    WyrleFrame* frame = nullptr;
    int width;
    int height;

private:
    BaseApp();
    template <class F>
    void onFrame(F fn);

    std::mutex appMutex;

    static BaseApp* m_pInstance;
};
