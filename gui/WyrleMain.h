#pragma once
// The tool window: colour, tool and brush controls, the menus, and every
// dialog of the program. Its construction starts the render thread.

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/colour.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>

#include "MyOfImage.h"

class BaseApp;
class Log;
class NewDial;
class LoadDial;
class ExportDialog;
class SettingsDialog;
class GradientDialog;
class AboutDialog;
class SaveBrushDialog;

// The last brush-preset sample and its icon; the engine fills them, the brush
// library saves them (under gBrushPreviewMutex).
extern MyOfImage brushColor;
extern MyOfImage brushIconColor;
// Subject of the save-file selector.
extern std::string gTitle;

// Pieces of the tool window's logic that need no window.
namespace toolwindow {

// Zoom factor and label ("200%" ... "5%") of a zoom index 0..9.
float zoomFactor(int index);
wxString zoomLabel(int index);

// Where a move of the tool window to client position (x, y) sends it: home,
// beside the drawing window at (baseX, baseY), or nowhere (false).
bool dockTarget(int x, int y, int baseX, int baseY, int borderWidth, int borderHeight, int& toX, int& toY);

// The save dialog's file types for an extension (any case); the current
// type comes first.
wxString saveFileTypes(const wxString& extension);

// The name Save As proposes and the extension that orders its file types.
struct SaveProposal {
    wxString path;
    wxString extension;
};
SaveProposal proposeSave(bool saveAs, const wxString& saveFile, const wxString& loadFile);

// `path` with the extension of the file type `filterIndex` of `wildcard`
// when it has none of its own ("All files" adds nothing).
wxString withTypeExtension(const wxString& path, const wxString& wildcard, int filterIndex);

// The manual below the working folder `cwd`.
wxString manualPath(const wxString& cwd);

// The save dialog's title for the subject of the save-file selector.
wxString saveDialogTitle(const wxString& subject);

// The program can be started: an executable path, or a name found on $PATH.
bool findProgram(const wxString& program);

// Hue, Sat and Lum slider positions for a colour.
void sliderPositions(int r, int g, int b, int& hue, int& sat, int& lum);

// Tool Size: one step of about 2 % up or down, within [lo, hi].
float toolSizeStep(float value, bool up, float lo, float hi);

}  // namespace toolwindow

std::string StringToLower(std::string text);

class WyrleFrame : public wxFrame {
public:
    WyrleFrame(wxWindow* parent, wxWindowID id = -1);
    ~WyrleFrame() override;

    bool Show(bool show = true) override;

    // Starting the render thread; tests put in one that starts nothing.
    using ThreadStarter = std::function<bool(BaseApp& thread)>;
    static void setThreadStarter(ThreadStarter starter);
    // The program that opens the manual and the web page, with the target as
    // its one argument ("xdg-open", or $WYRLE_OPENER).
    static wxString opener;
    // Starts `opener` with `target`, without waiting.
    static void openWithOpener(const wxString& target);
    // The program's page, for the online menu item and the About box alike:
    // the manual, as long as there is no public page.
    static void openWebPage();
    // Opens the manual below the working folder; a missing one is told.
    static void openManual();

    // --- Brush and tool controls
    void OnSliderSizeCmdScrollChanged(wxScrollEvent& event);
    void OnSliderWidthCmdScrollChanged(wxScrollEvent& event);
    void OnSliderStepCmdScrollChanged(wxScrollEvent& event);
    void OnSliderSoftCmdScrollChanged(wxScrollEvent& event);
    void OnSliderSpeedCmdScrollChanged(wxScrollEvent& event);
    void OnSliderCenterCmdScrollChanged(wxScrollEvent& event);
    void OnSliderFocusCmdScrollChanged(wxScrollEvent& event);
    void OnSliderChaosCmdScrollChanged(wxScrollEvent& event);
    void OnSliderNoiseCmdScrollChanged(wxScrollEvent& event);
    void OnSliderDetailCmdScrollChanged(wxScrollEvent& event);
    void OnSliderFadeCmdScrollChanged(wxScrollEvent& event);
    void OnSliderOpacityCmdScrollChanged(wxScrollEvent& event);
    void OnSliderEraserSizeCmdScrollChanged(wxScrollEvent& event);
    void OnSliderEraserOpacityCmdScrollChanged(wxScrollEvent& event);
    void OnButtonWyrleClick(wxCommandEvent& event);
    void OnButtonFollowClick(wxCommandEvent& event);
    void OnButtonRibbonClick(wxCommandEvent& event);
    void OnButton4Click(wxCommandEvent& event);  // Fill
    void OnButton3Click(wxCommandEvent& event);  // Smooth
    void BrushClick();
    void OnButton_brushClick(wxCommandEvent& event);
    void EraserClick();
    void OnButtonEraserClick(wxCommandEvent& event);
    void OnMenuItemToolSizePlus(wxCommandEvent& event);
    void OnMenuItemToolSizeMinus(wxCommandEvent& event);
    void ZoomMinusClick();
    void ZoomPlusClick();
    void ZoomResetClick();
    void OnButtonZoomMinusClick(wxCommandEvent& event);
    void OnButtonZoomPlusClick(wxCommandEvent& event);
    void OnButtonTextZoomClick(wxCommandEvent& event);
    void OnMenuItemZoomResetClick(wxCommandEvent& event);
    void OnMenuItemResetBrushSelected(wxCommandEvent& event);

    // What the engine sets through BaseApp: a slider and its label, no event.
    void SetSliderSize(int n);
    void SetSliderEraserSize(int n);
    void SetZoomLabel(const wxString& label);

    // --- Colour controls
    void OnButton_colour_colorClick(wxCommandEvent& event);
    void OnButton_gradientClick(wxCommandEvent& event);
    void OnBitmapButton_colorClick(wxCommandEvent& event);
    void OnSliderColorCmdScrollChanged(wxScrollEvent& event);
    void OnSliderSaturationCmdScrollChanged(wxScrollEvent& event);
    void OnSliderLumCmdScrollChanged(wxScrollEvent& event);
    void OnButton_ad_subClick(wxCommandEvent& event);
    void OnButton_darkenClick(wxCommandEvent& event);
    void OnBitmapButton_bcgColorClick(wxCommandEvent& event);
    void basicColorBitmap();
    void backgroundColorBitmap();
    static void RGB_2_HSL(float r, float g, float b, float& h, float& s, float& l);
    static void HSL_2_RGB(float h, float s, float l, float& r, float& g, float& b);
    static float Hue_2_RGB(float p, float q, float t);

    // --- File, layer and help commands
    void OnMenuItemNew(wxCommandEvent& event);
    void OnMenuItemLoadSelected(wxCommandEvent& event);
    void OnMenuItemSaveSelected(wxCommandEvent& event);
    void OnMenuItemSaveAsSelected(wxCommandEvent& event);
    void Save();
    void SaveDialog();
    void OnMenuItemSaveAsDefaultSettings();
    void OnMenuItemOpenBackLayerSelected(wxCommandEvent& event);
    void OnMenuItemExportSelected(wxCommandEvent& event);
    void OnMenuItemSetupSelected(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void HelpSelected();
    void OnMenuItemHelpSelected(wxCommandEvent& event);
    void OnMenuItemWyrleOnline(wxCommandEvent& event);
    void ShowBcgSelected();
    void OnMenuItemShowBcgSelected(wxCommandEvent& event);
    void OnUpdateShowBcg(wxUpdateUIEvent& event);
    void OnMenuItemShowLayersSelected(wxCommandEvent& event);
    void OnMenuItemCollapseFrontSelected(wxCommandEvent& event);
    void OnMenuItemCollapseBackSelected(wxCommandEvent& event);
    void OnMenuItemClearBackSelected(wxCommandEvent& event);
    void OnBitmapButtonUndoClick(wxCommandEvent& event);
    void OnBitmapButtonRedoClick(wxCommandEvent& event);
    void OnMenuItemClearArtworkSelected(wxCommandEvent& event);
    void OnButtonBrushPreset(wxCommandEvent& event);
    static bool FileExists(const char* path);
    // The engine's Ctrl+N and Ctrl+O: show the dialog (the engine has
    // cleared f_showCursor already).
    void NewDialog();
    void LoadDialog();

    // --- Placement, idle and closing
    void OnMove(wxMoveEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnTop();
    void OnClose(wxCloseEvent& event);
    void OnQuit(wxCommandEvent& event);
    // Where the client area sits inside the frame; move events report the
    // frame, the docking rules work on the client area.
    wxPoint clientOffset() const;

    // --- Controls (the brush library writes several of them directly)
    wxStaticText* colorHeading;
    wxBitmapButton* colorSwatch;  // ID_BITMAPBUTTON1
    wxBitmapButton* bcgSwatch;    // ID_BITMAPBUTTON2
    wxButton* colorButton;
    wxButton* gradientButton;
    wxStaticLine* staticLine4;
    wxButton* lightenButton;  // ID_BUTTON5
    wxButton* darkenButton;   // ID_BUTTON1
    wxSlider* sliderColor;
    wxStaticText* labelColor;
    wxSlider* sliderSaturation;
    wxStaticText* labelSaturation;
    wxSlider* sliderLum;
    wxStaticText* labelLum;
    wxSlider* sliderOpacity;
    wxStaticText* labelOpacity;
    wxStaticLine* staticLine1;
    wxStaticText* toolsHeading;
    wxButton* brushButton;
    wxButton* eraserButton;
    wxButton* zoomMinusButton;
    wxButton* zoomLabelButton;
    wxButton* zoomPlusButton;
    wxBitmapButton* undoButton;
    wxBitmapButton* redoButton;
    wxButton* clearButton;
    wxStaticLine* staticLine2;
    wxStaticText* brushHeading;
    wxButton* wyrleButton;
    wxButton* followButton;
    wxButton* ribbonButton;
    wxBitmapButton* brushLibraryButton;  // ID_BITMAPBUTTON3
    wxSlider* sliderSize;
    wxStaticText* labelSize;
    wxSlider* sliderWidth;
    wxStaticText* labelWidth;
    wxSlider* sliderStep;
    wxStaticText* labelStep;
    wxStaticLine* staticLine8;
    wxSlider* sliderSoft;
    wxStaticText* labelSoft;
    wxSlider* sliderSpeed;
    wxStaticText* labelSpeed;
    wxSlider* sliderCenter;
    wxStaticText* labelCenter;
    wxSlider* sliderFocus;
    wxStaticText* labelFocus;
    wxSlider* sliderChaos;
    wxStaticText* labelChaos;
    wxSlider* sliderNoise;
    wxStaticText* labelNoise;
    wxStaticLine* staticLine6;
    wxSlider* sliderDetail;
    wxStaticText* labelDetail;
    wxSlider* sliderFade;
    wxStaticText* labelFade;
    wxButton* fillButton;
    wxButton* smoothButton;
    wxStaticLine* staticLine3;
    wxStaticText* eraserHeading;
    wxSlider* sliderEraserSize;
    wxStaticText* labelEraserSize;
    wxSlider* sliderEraserOpacity;
    wxStaticText* labelEraserOpacity;

    wxMenu* toolsMenu;
    wxMenuItem* menuBrushes;
    wxMenuItem* menuLayers;
    wxMenuItem* menuBackLayer;

    wxWindow* focusWindow;
    NewDial* newDial;
    LoadDial* loadDial;
    ExportDialog* exportDialog;
    SettingsDialog* settingsDialog;
    GradientDialog* gradientDialog;
    AboutDialog* aboutDialog;
    SaveBrushDialog* saveBrushDialog;
    wxFileDialog* openFileDialog;
    wxBoxSizer* brushSection;
    wxBoxSizer* eraserSection;

    bool bGradientMode;
    bool bFill;
    bool bSmooth;
    bool bBrushesShown;
    bool bGradientShown;
    bool bColorDialogLatch;
    wxColour swatchColor;
    wxColour highlightColor;
    wxColour normalColor;
    Log* log;
    BaseApp* baseApp;

    // Panel identifiers, in the order of the panel.
    static const long ID_STATICTEXT17;
    static const long ID_BITMAPBUTTON1;
    static const long ID_BITMAPBUTTON2;
    static const long ID_COLOR_BUTTON;
    static const long ID_GRADIENT_BUTTON;
    static const long ID_STATICLINE4;
    static const long ID_BUTTON5;
    static const long ID_BUTTON1;
    static const long ID_STATICTEXT1;
    static const long ID_SLIDERCOLOR;
    static const long ID_STATICTEXTCOLOR;
    static const long ID_STATICTEXT3;
    static const long ID_SLIDERSATURATION;
    static const long ID_STATICTEXTSATURATION;
    static const long ID_STATICTEXT2;
    static const long ID_SLIDERLUM;
    static const long ID_STATICTEXTLUM;
    static const long ID_STATICTEXT16;
    static const long ID_SLIDEROPACITY;
    static const long ID_STATICTEXTOPACITY;
    static const long ID_STATICLINE1;
    static const long ID_STATICTEXT18;
    static const long ID_BUTTONBRUSH;
    static const long ID_BUTTONERASER;
    static const long ID_BUTTONZOOMMINUS;
    static const long ID_BUTTONTEXTZOOM;
    static const long ID_BUTTONZOOMPLUS;
    static const long ID_BITMAPBUTTONUNDO;
    static const long ID_BITMAPBUTTONREDO;
    static const long ID_BUTTONCLEAR;
    static const long ID_STATICLINE2;
    static const long ID_STATICTEXT19;
    static const long ID_BUTTONWYRLE;
    static const long ID_BUTTONFOLLOW;
    static const long ID_BUTTONRIBBON;
    static const long ID_BITMAPBUTTON3;
    static const long ID_STATICTEXT4;
    static const long ID_SLIDERSIZE;
    static const long ID_STATICTEXTSIZE;
    static const long ID_STATICTEXT22;
    static const long ID_SLIDERWIDTH;
    static const long ID_STATICTEXTWIDTH;
    static const long ID_STATICTEXT23;
    static const long ID_SLIDERSTEP;
    static const long ID_STATICTEXTSTEP;
    static const long ID_STATICLINE8;
    static const long ID_STATICTEXT5;
    static const long ID_SLIDERSOFT;
    static const long ID_STATICTEXT14;
    static const long ID_STATICTEXT21;
    static const long ID_SLIDERSPEED;
    static const long ID_STATICTEXTSPEED;
    static const long ID_STATICTEXT6;
    static const long ID_SLIDERCENTER;
    static const long ID_STATICTEXT15;
    static const long ID_STATICTEXT7;
    static const long ID_SLIDERFOCUS;
    static const long ID_STATICTEXTFOCUS;
    static const long ID_STATICTEXT8;
    static const long ID_SLIDERCHAOS;
    static const long ID_STATICTEXTCHAOS;
    static const long ID_STATICTEXT9;
    static const long ID_SLIDERNOISE;
    static const long ID_STATICTEXTNOISE;
    static const long ID_STATICLINE6;
    static const long ID_STATICTEXT11;
    static const long ID_SLIDERDETAIL;
    static const long ID_STATICTEXTDETAIL;
    static const long ID_STATICTEXT10;
    static const long ID_SLIDERFADE;
    static const long ID_STATICTEXTFADE;
    static const long ID_BUTTONFILL;
    static const long ID_BUTTONSMOOTH;
    static const long ID_STATICLINE3;
    static const long ID_STATICTEXT20;
    static const long ID_STATICTEXT12;
    static const long ID_SLIDERERASERSIZE;
    static const long ID_STATICTEXTERASERSIZE;
    static const long ID_STATICTEXT13;
    static const long ID_SLIDERERASEROPACITY;
    static const long ID_STATICTEXTERASEROPACITY;

    // Menu identifiers.
    static const long idFileLoad;
    static const long idFileSave;
    static const long idFileSaveAs;
    static const long ID_MENUITEMOPENBACKLAYER;
    static const long idFileExport;
    static const long idFileQuit;
    static const long ID_MENUBRUSH;
    static const long ID_MENUERASER;
    static const long ID_MENUTOOLPLUS;
    static const long ID_MENUTOOLMINUS;
    static const long ID_MENUITEMBRUSHDIAL;
    static const long ID_MENUITEMSHOWLAYERS;
    static const long ID_MENUITEMSHOWBCG;
    static const long ID_MENUITEMCOLLAPSEFRONT;
    static const long ID_MENUITEMCOLLAPSEBACK;
    static const long ID_MENUITEMCLEARBACK;
    static const long ID_MENUUNDO;
    static const long ID_MENUREDO;
    static const long ID_MENUZOOMIN;
    static const long ID_MENUZOOMOUT;
    static const long ID_MENURESETZOOM;
    static const long ID_MENUITEMRESETBRUSH;
    static const long ID_MENUITEMCLEARARTWORK;
    static const long ID_MENUITEMSETUP;
    static const long ID_MENUONLINE;
    static const long idHelpAbout;

private:
    void buildColourSection(wxBoxSizer* root);
    void buildToolsSection(wxBoxSizer* root);
    void buildBrushSection(wxBoxSizer* root);
    void buildEraserSection(wxBoxSizer* root);
    void buildMenuBar();
    void connectHandlers();
    void startRenderThread();

    wxStaticText* heading(long id, const wxString& text);
    wxButton* button(long id, const wxString& text, const wxSize& size, const wxColour& background);
    wxBitmapButton* pictureButton(long id, const char* file);
    wxSizer* sliderRow(long nameId, const wxString& name, int nameWidth, bool alignRight, long sliderId,
                       int value, int minValue, int maxValue, const wxSize& size, int sliderRightBorder,
                       long valueId, wxSlider*& slider, wxStaticText*& valueLabel);
    void connectSlider(long id, void (WyrleFrame::*handler)(wxScrollEvent&));
    void connectButton(long id, void (WyrleFrame::*handler)(wxCommandEvent&));
    void connectMenu(long id, void (WyrleFrame::*handler)(wxCommandEvent&));

    // Writes the slider's value label ("%i").
    static void setLabel(wxStaticText* label, int value);
    static void setSlider(wxSlider* slider, wxStaticText* label, int value);
    void selectButton(wxButton* selected, std::initializer_list<wxButton*> others);
    void showLightenOrDarken(bool lighten);
    void paintSwatch(wxBitmapButton* swatch, int w, int h, const wxColour& colour);
    void setColourControlsEnabled(bool hsl, bool others);
    void zoomTo(int index);
    void hslSliderMoved(std::atomic<float>& component, wxStaticText* label, int p);
    void moveFrameTo(int x, int y);
    void writeGuiPosition();

    // The last move the program made itself, whose echo OnMove ignores.
    wxPoint programMoveTarget;
    bool programMovePending;

    wxDECLARE_EVENT_TABLE();
};
