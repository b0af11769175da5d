#include "WyrleMain.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/font.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "AboutDialog.h"
#include "BaseApp.h"
#include "DialogKit.h"
#include "ExportDialog.h"
#include "GradientDialog.h"
#include "GuiPrompts.h"
#include "LoadDial.h"
#include "Log.h"
#include "NewDial.h"
#include "Requests.h"
#include "SaveBrushDialog.h"
#include "SettingsDialog.h"
#include "WyrleGlobals.h"
#include "ofAppGlutWindow.h"
#include "ofMath.h"

// Identifiers come from wxNewId() in this order during static initialisation.
const long WyrleFrame::ID_STATICTEXT17 = wxNewId();
const long WyrleFrame::ID_BITMAPBUTTON1 = wxNewId();
const long WyrleFrame::ID_BITMAPBUTTON2 = wxNewId();
const long WyrleFrame::ID_COLOR_BUTTON = wxNewId();
const long WyrleFrame::ID_GRADIENT_BUTTON = wxNewId();
const long WyrleFrame::ID_STATICLINE4 = wxNewId();
const long WyrleFrame::ID_BUTTON5 = wxNewId();
const long WyrleFrame::ID_BUTTON1 = wxNewId();
const long WyrleFrame::ID_STATICTEXT1 = wxNewId();
const long WyrleFrame::ID_SLIDERCOLOR = wxNewId();
const long WyrleFrame::ID_STATICTEXTCOLOR = wxNewId();
const long WyrleFrame::ID_STATICTEXT3 = wxNewId();
const long WyrleFrame::ID_SLIDERSATURATION = wxNewId();
const long WyrleFrame::ID_STATICTEXTSATURATION = wxNewId();
const long WyrleFrame::ID_STATICTEXT2 = wxNewId();
const long WyrleFrame::ID_SLIDERLUM = wxNewId();
const long WyrleFrame::ID_STATICTEXTLUM = wxNewId();
const long WyrleFrame::ID_STATICTEXT16 = wxNewId();
const long WyrleFrame::ID_SLIDEROPACITY = wxNewId();
const long WyrleFrame::ID_STATICTEXTOPACITY = wxNewId();
const long WyrleFrame::ID_STATICLINE1 = wxNewId();
const long WyrleFrame::ID_STATICTEXT18 = wxNewId();
const long WyrleFrame::ID_BUTTONBRUSH = wxNewId();
const long WyrleFrame::ID_BUTTONERASER = wxNewId();
const long WyrleFrame::ID_BUTTONZOOMMINUS = wxNewId();
const long WyrleFrame::ID_BUTTONTEXTZOOM = wxNewId();
const long WyrleFrame::ID_BUTTONZOOMPLUS = wxNewId();
const long WyrleFrame::ID_BITMAPBUTTONUNDO = wxNewId();
const long WyrleFrame::ID_BITMAPBUTTONREDO = wxNewId();
const long WyrleFrame::ID_BUTTONCLEAR = wxNewId();
const long WyrleFrame::ID_STATICLINE2 = wxNewId();
const long WyrleFrame::ID_STATICTEXT19 = wxNewId();
const long WyrleFrame::ID_BUTTONWYRLE = wxNewId();
const long WyrleFrame::ID_BUTTONFOLLOW = wxNewId();
const long WyrleFrame::ID_BUTTONRIBBON = wxNewId();
const long WyrleFrame::ID_BITMAPBUTTON3 = wxNewId();
const long WyrleFrame::ID_STATICTEXT4 = wxNewId();
const long WyrleFrame::ID_SLIDERSIZE = wxNewId();
const long WyrleFrame::ID_STATICTEXTSIZE = wxNewId();
const long WyrleFrame::ID_STATICTEXT22 = wxNewId();
const long WyrleFrame::ID_SLIDERWIDTH = wxNewId();
const long WyrleFrame::ID_STATICTEXTWIDTH = wxNewId();
const long WyrleFrame::ID_STATICTEXT23 = wxNewId();
const long WyrleFrame::ID_SLIDERSTEP = wxNewId();
const long WyrleFrame::ID_STATICTEXTSTEP = wxNewId();
const long WyrleFrame::ID_STATICLINE8 = wxNewId();
const long WyrleFrame::ID_STATICTEXT5 = wxNewId();
const long WyrleFrame::ID_SLIDERSOFT = wxNewId();
const long WyrleFrame::ID_STATICTEXT14 = wxNewId();
const long WyrleFrame::ID_STATICTEXT21 = wxNewId();
const long WyrleFrame::ID_SLIDERSPEED = wxNewId();
const long WyrleFrame::ID_STATICTEXTSPEED = wxNewId();
const long WyrleFrame::ID_STATICTEXT6 = wxNewId();
const long WyrleFrame::ID_SLIDERCENTER = wxNewId();
const long WyrleFrame::ID_STATICTEXT15 = wxNewId();
const long WyrleFrame::ID_STATICTEXT7 = wxNewId();
const long WyrleFrame::ID_SLIDERFOCUS = wxNewId();
const long WyrleFrame::ID_STATICTEXTFOCUS = wxNewId();
const long WyrleFrame::ID_STATICTEXT8 = wxNewId();
const long WyrleFrame::ID_SLIDERCHAOS = wxNewId();
const long WyrleFrame::ID_STATICTEXTCHAOS = wxNewId();
const long WyrleFrame::ID_STATICTEXT9 = wxNewId();
const long WyrleFrame::ID_SLIDERNOISE = wxNewId();
const long WyrleFrame::ID_STATICTEXTNOISE = wxNewId();
const long WyrleFrame::ID_STATICLINE6 = wxNewId();
const long WyrleFrame::ID_STATICTEXT11 = wxNewId();
const long WyrleFrame::ID_SLIDERDETAIL = wxNewId();
const long WyrleFrame::ID_STATICTEXTDETAIL = wxNewId();
const long WyrleFrame::ID_STATICTEXT10 = wxNewId();
const long WyrleFrame::ID_SLIDERFADE = wxNewId();
const long WyrleFrame::ID_STATICTEXTFADE = wxNewId();
const long WyrleFrame::ID_BUTTONFILL = wxNewId();
const long WyrleFrame::ID_BUTTONSMOOTH = wxNewId();
const long WyrleFrame::ID_STATICLINE3 = wxNewId();
const long WyrleFrame::ID_STATICTEXT20 = wxNewId();
const long WyrleFrame::ID_STATICTEXT12 = wxNewId();
const long WyrleFrame::ID_SLIDERERASERSIZE = wxNewId();
const long WyrleFrame::ID_STATICTEXTERASERSIZE = wxNewId();
const long WyrleFrame::ID_STATICTEXT13 = wxNewId();
const long WyrleFrame::ID_SLIDERERASEROPACITY = wxNewId();
const long WyrleFrame::ID_STATICTEXTERASEROPACITY = wxNewId();

const long WyrleFrame::idFileLoad = wxNewId();
const long WyrleFrame::idFileSave = wxNewId();
const long WyrleFrame::idFileSaveAs = wxNewId();
const long WyrleFrame::ID_MENUITEMOPENBACKLAYER = wxNewId();
const long WyrleFrame::idFileExport = wxNewId();
const long WyrleFrame::idFileQuit = wxNewId();
const long WyrleFrame::ID_MENUBRUSH = wxNewId();
const long WyrleFrame::ID_MENUERASER = wxNewId();
const long WyrleFrame::ID_MENUTOOLPLUS = wxNewId();
const long WyrleFrame::ID_MENUTOOLMINUS = wxNewId();
const long WyrleFrame::ID_MENUITEMBRUSHDIAL = wxNewId();
const long WyrleFrame::ID_MENUITEMSHOWLAYERS = wxNewId();
const long WyrleFrame::ID_MENUITEMSHOWBCG = wxNewId();
const long WyrleFrame::ID_MENUITEMCOLLAPSEFRONT = wxNewId();
const long WyrleFrame::ID_MENUITEMCOLLAPSEBACK = wxNewId();
const long WyrleFrame::ID_MENUITEMCLEARBACK = wxNewId();
const long WyrleFrame::ID_MENUUNDO = wxNewId();
const long WyrleFrame::ID_MENUREDO = wxNewId();
const long WyrleFrame::ID_MENUZOOMIN = wxNewId();
const long WyrleFrame::ID_MENUZOOMOUT = wxNewId();
const long WyrleFrame::ID_MENURESETZOOM = wxNewId();
const long WyrleFrame::ID_MENUITEMRESETBRUSH = wxNewId();
const long WyrleFrame::ID_MENUITEMCLEARARTWORK = wxNewId();
const long WyrleFrame::ID_MENUITEMSETUP = wxNewId();
const long WyrleFrame::ID_MENUONLINE = wxNewId();
const long WyrleFrame::idHelpAbout = wxNewId();

MyOfImage brushColor;
MyOfImage brushIconColor;
std::string gTitle;

wxBEGIN_EVENT_TABLE(WyrleFrame, wxFrame)
    EVT_MOVE(WyrleFrame::OnMove)
    EVT_IDLE(WyrleFrame::OnIdle)
wxEND_EVENT_TABLE()

namespace {

const wxColour kPanelColour(104, 100, 96);
const wxColour kHeadingColour(255, 130, 50);
const wxColour kLabelColour(240, 240, 240);
const wxColour kButtonText(0, 0, 0);

const char kManual[] = "Documents/Wyrle_Manual_v1.5_Win.pdf";
const char kNewArtworkName[] = "wyrleArtwork.png";

const long kSliderStyle = wxSL_HORIZONTAL | wxSL_BOTH | wxSL_SELRANGE | wxTAB_TRAVERSAL | wxCLIP_CHILDREN;
const long kSwatchStyle = wxBORDER_DOUBLE | wxTAB_TRAVERSAL | wxCLIP_CHILDREN;
const long kPictureStyle = wxBU_AUTODRAW | wxTAB_TRAVERSAL | wxCLIP_CHILDREN;

const float kZoomFactors[10] = {2.0f, 1.5f, 1.0f, 0.7f, 0.5f, 0.35f, 0.25f, 0.15f, 0.1f, 0.05f};

bool defaultThreadStarter(BaseApp& thread) {
    return thread.Create() == wxTHREAD_NO_ERROR && thread.Run() == wxTHREAD_NO_ERROR;
}

WyrleFrame::ThreadStarter& threadStarter() {
    static WyrleFrame::ThreadStarter starter = defaultThreadStarter;
    return starter;
}

wxString defaultOpener() {
    const char* env = std::getenv("WYRLE_OPENER");
    return (env && *env) ? wxString::FromUTF8(env) : wxString("xdg-open");
}

// GTK pads buttons and sliders far beyond the panel's small fixed sizes, so
// that their labels and troughs vanish; the panel's controls drop the theme's
// padding and minimum sizes.
template <class Control>
const char* compactStyle() {
    return "* { padding: 0; margin: 0; min-height: 0; min-width: 0; }";
}

template <>
const char* compactStyle<wxSlider>() {
    return dialogkit::kCompactSliderStyle;
}

template <class Control>
class Compact : public Control {
public:
    template <class... Args>
    explicit Compact(Args&&... args) : Control(std::forward<Args>(args)...) {
#ifdef __WXGTK3__
        this->GTKApplyCssStyle(compactStyle<Control>());
#endif
    }
};

// The panel's text: a small sans font with Arial's metrics, so the labels
// fit their fixed widths.
wxFont panelFont() { return wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, "Arial"); }

template <class T>
void storeSetting(std::atomic<T>& global, T value) {
    global.store(value, std::memory_order_release);
}

}  // namespace

wxString WyrleFrame::opener = defaultOpener();

// ---------------------------------------------------------------------------
// Pure helpers

namespace toolwindow {

float zoomFactor(int index) {
    if (index < 0)
        index = 0;
    if (index > 9)
        index = 9;
    return kZoomFactors[index];
}

wxString zoomLabel(int index) {
    return wxString::Format("%.0f", zoomFactor(index) * 100) + "%";
}

bool dockTarget(int x, int y, int baseX, int baseY, int borderWidth, int borderHeight, int& toX, int& toY) {
    if (x >= -19 && x <= 19 && y >= 31 && y <= 69) {
        toX = 4 * borderHeight;
        toY = 6 * borderHeight - 2;
        return true;
    }
    int dx = baseX - x;
    int dy = baseY - y;
    if (dx >= 181 && dx <= 219 && dy >= -39 && dy <= -1) {
        toX = baseX - 3 * borderWidth + 3 * borderHeight - 201;
        toY = baseY + 6 * borderHeight - 31;
        return true;
    }
    return false;
}

wxString saveFileTypes(const wxString& extension) {
    std::string ext = StringToLower(std::string(extension.utf8_str()));
    if (ext == "tga")
        return "TGA files (*.tga)|*.tga|PNG files - Wyrle native format (*.png)|*.png|TIFF files (*.tif)|*.tif|"
               "BMP files (*.bmp)|*.bmp|JPG files (*.jpg)|*.jpg|All files (*.*)|*.*|";
    if (ext == "tif")
        return "TIFF files (*.tif)|*.tif|PNG files - Wyrle native format (*.png)|*.png|TGA files (*.tga)|*.tga|"
               "BMP files (*.bmp)|*.bmp|JPG files (*.jpg)|*.jpg|All files (*.*)|*.*|";
    if (ext == "bmp")
        return "BMP files (*.bmp)|*.bmp|PNG files - Wyrle native format (*.png)|*.png|TGA files (*.tga)|*.tga|"
               "TIFF files (*.tif)|*.tif|JPG files (*.jpg)|*.jpg|All files (*.*)|*.*|";
    if (ext == "jpg")
        return "JPG files (*.jpg)|*.jpg|PNG files - Wyrle native format (*.png)|*.png|TGA files (*.tga)|*.tga|"
               "TIFF files (*.tif)|*.tif|BMP files (*.bmp)|*.bmp|All files (*.*)|*.*|";
    return "PNG files - Wyrle native format (*.png)|*.png|TGA files (*.tga)|*.tga|TIFF files (*.tif)|*.tif|"
           "BMP files (*.bmp)|*.bmp|JPG files (*.jpg)|*.jpg|All files (*.*)|*.*|";
}

SaveProposal proposeSave(bool saveAs, const wxString& saveFile, const wxString& loadFile) {
    SaveProposal p;
    if (saveAs) {
        p.path = saveFile;
        p.extension = wxFileName(saveFile).GetExt();
        return p;
    }
    p.extension = loadFile.Contains(".") ? wxFileName(loadFile).GetExt() : wxString();
    p.path = loadFile;
    if (loadFile == kNewArtworkName)
        p.path = wxFileName(prompts::defaultFolder(), kNewArtworkName).GetFullPath();
    return p;
}

wxString withTypeExtension(const wxString& path, const wxString& wildcard, int filterIndex) {
    wxFileName name(path);
    if (path.empty() || name.HasExt() || filterIndex < 0)
        return path;
    wxArrayString parts = wxSplit(wildcard, '|', '\0');
    size_t at = static_cast<size_t>(filterIndex) * 2 + 1;
    if (at >= parts.size())
        return path;
    wxString pattern = parts[at].BeforeFirst(';');
    if (!pattern.StartsWith("*.") || pattern == "*.*")
        return path;
    return path + pattern.Mid(1);
}

wxString saveDialogTitle(const wxString& subject) {
    return subject.empty() ? wxString(_("Save artwork as")) : wxString::Format(_("Save %s file"), subject);
}

wxString manualPath(const wxString& cwd) {
    return wxFileName(cwd, "").GetPathWithSep() + kManual;
}

bool findProgram(const wxString& program) {
    if (program.empty())
        return false;
    if (program.Contains("/"))
        return wxFileName::IsFileExecutable(program);
    wxPathList path;
    path.AddEnvList("PATH");
    for (const wxString& dir : path)
        if (wxFileName::IsFileExecutable(wxFileName(dir, program).GetFullPath()))
            return true;
    return false;
}

void sliderPositions(int r, int g, int b, int& hue, int& sat, int& lum) {
    float h = 0, s = 0, l = 0;
    WyrleFrame::RGB_2_HSL(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), h, s, l);
    hue = static_cast<int>(std::round(h * 240));
    if (hue > 239)
        hue = 239;
    sat = static_cast<int>(std::round(s * 240));
    lum = static_cast<int>(std::round(l * 240));
}

float toolSizeStep(float value, bool up, float lo, float hi) {
    int step = static_cast<int>(static_cast<double>(value) * 0.02 + 1.0);
    float next = up ? value + step : value - step;
    if (up && next > hi)
        next = hi;
    if (!up && next < lo)
        next = lo;
    return next;
}

}  // namespace toolwindow

std::string StringToLower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// ---------------------------------------------------------------------------
// Construction

void WyrleFrame::setThreadStarter(ThreadStarter starter) {
    threadStarter() = starter ? std::move(starter) : ThreadStarter(defaultThreadStarter);
}

WyrleFrame::WyrleFrame(wxWindow* parent, wxWindowID)
    : focusWindow(nullptr),
      newDial(nullptr),
      loadDial(nullptr),
      exportDialog(nullptr),
      settingsDialog(nullptr),
      gradientDialog(nullptr),
      aboutDialog(nullptr),
      saveBrushDialog(nullptr),
      openFileDialog(nullptr),
      brushSection(nullptr),
      eraserSection(nullptr),
      bGradientMode(false),
      bFill(true),
      bSmooth(true),
      bBrushesShown(false),
      bGradientShown(false),
      bColorDialogLatch(false),
      swatchColor(244, 78, 21),
      highlightColor(245, 180, 110),
      normalColor(240, 240, 240),
      log(nullptr),
      baseApp(nullptr),
      programMovePending(false) {
    // GTK drops the caption of a frame with wxBORDER_NONE, so it is left out.
    Create(parent, wxID_ANY, _("Wyrle"), wxDefaultPosition, wxDefaultSize,
           wxCAPTION | wxCLIP_CHILDREN | wxFRAME_NO_TASKBAR);
    SetMaxSize(wxSize(194, 720));
    SetForegroundColour(kPanelColour);
    SetBackgroundColour(kPanelColour);
    SetFont(panelFont());
    moveFrameTo(4 * f_borderHeight.load(), 6 * f_borderHeight.load() - 2);

    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    buildColourSection(root);
    buildToolsSection(root);
    buildBrushSection(root);
    buildEraserSection(root);
    SetSizer(root);

    buildMenuBar();

    openFileDialog = new wxFileDialog(this, _("Select file"), prompts::defaultFolder(), wxEmptyString,
                                      wxFileSelectorDefaultWildcardStr, wxFD_OPEN);
    root->Fit(this);
    // GTK's text and controls can need a little more than the panel was
    // drawn for; the limit never cuts into the content.
    const wxSize least = root->GetMinSize();
    SetMaxSize(wxSize(std::max(194, least.x), std::max(720, least.y)));
    root->SetSizeHints(this);

    connectHandlers();

    gradientDialog = new GradientDialog(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);
    newDial = new NewDial(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);
    bGradientMode = false;
    bFill = true;
    bSmooth = true;
    loadDial = new LoadDial(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);
    exportDialog = new ExportDialog(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);
    settingsDialog = new SettingsDialog(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);
    aboutDialog = new AboutDialog(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);
    saveBrushDialog = new SaveBrushDialog(this, wxID_ANY, wxDefaultPosition, wxDefaultSize);

    saveBrushDialog->gradientDialog = gradientDialog;
    saveBrushDialog->frame = this;
    saveBrushDialog->gradientButtonId = ID_GRADIENT_BUTTON;
    saveBrushDialog->colorButtonId = ID_COLOR_BUTTON;

    highlightColor = wxColour(245, 180, 110);
    normalColor = wxColour(240, 240, 240);
    swatchColor = wxColour(244, 78, 21);
    paintSwatch(colorSwatch, 50, 37, swatchColor);
    backgroundColorBitmap();

    log = new Log("WyrleMain.log", false);
    focusWindow = wxWindow::FindFocus();

    bMove.store(false);
    sliderStep->Disable();
    eraserSection->ShowItems(false);
    Layout();
    bBrushesShown = false;
    bColorDialogLatch = false;
    bGradientShown = false;
    gradientDialog->frameGradientShown = &bGradientShown;
    openFileDialog->SetDirectory(prompts::defaultFolder());
    menuLayers->Check(true);
    menuBrushes->Check(false);
    menuBackLayer->Check(false);

    startRenderThread();
}

void WyrleFrame::startRenderThread() {
    baseApp = BaseApp::Instance();
    saveBrushDialog->baseApp = baseApp;
    baseApp->frame = this;
    if (!threadStarter()(*baseApp)) {
        std::fprintf(stderr, "Wyrle: the drawing window could not be started.\n");
        prompts::message(_("The drawing window could not be started."), _("Info"));
        _exit(1);
    }
}

WyrleFrame::~WyrleFrame() {
    delete log;
}

wxStaticText* WyrleFrame::heading(long id, const wxString& text) {
    wxStaticText* t = new wxStaticText(this, id, text, wxDefaultPosition, wxDefaultSize, 0, "ID_STATICTEXT");
    t->SetFont(panelFont());
    t->SetForegroundColour(kHeadingColour);
    return t;
}

wxButton* WyrleFrame::button(long id, const wxString& text, const wxSize& size, const wxColour& background) {
    wxButton* b = new Compact<wxButton>(this, id, text, wxDefaultPosition, size, 0, wxDefaultValidator, "ID_BUTTON");
    b->SetFont(panelFont());
    b->SetForegroundColour(kButtonText);
    b->SetBackgroundColour(background);
    return b;
}

wxBitmapButton* WyrleFrame::pictureButton(long id, const char* file) {
    wxBitmap picture;
    {
        // A missing picture only leaves the button blank.
        wxLogNull quiet;
        wxImage image;
        if (image.LoadFile(file, wxBITMAP_TYPE_ANY) && image.IsOk())
            picture = wxBitmap(image);
    }
    wxBitmapButton* b = new Compact<wxBitmapButton>(this, id, picture, wxDefaultPosition, wxSize(23, 23), kPictureStyle,
                                           wxDefaultValidator, "ID_BITMAPBUTTON");
    return b;
}

wxSizer* WyrleFrame::sliderRow(long nameId, const wxString& name, int nameWidth, bool alignRight, long sliderId,
                               int value, int minValue, int maxValue, const wxSize& size, int sliderRightBorder,
                               long valueId, wxSlider*& slider, wxStaticText*& valueLabel) {
    wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
    wxStaticText* nameLabel = new wxStaticText(this, nameId, name, wxDefaultPosition, wxSize(nameWidth, -1),
                                               alignRight ? (wxALIGN_RIGHT | wxST_NO_AUTORESIZE) : 0,
                                               "ID_STATICTEXT");
    nameLabel->SetFont(panelFont());
    nameLabel->SetForegroundColour(kLabelColour);
    // Where "Arial" falls back to a wider font the label grows rather than
    // cutting its text off.
    const int textWidth = nameLabel->GetTextExtent(name).x;
    if (textWidth > nameWidth)
        nameLabel->SetInitialSize(wxSize(textWidth, -1));
    row->Add(nameLabel, 0, wxTOP | wxRIGHT | wxALIGN_CENTER_VERTICAL, 1);
    slider = new Compact<wxSlider>(this, sliderId, value, minValue, maxValue, wxDefaultPosition, size, kSliderStyle,
                          wxDefaultValidator, "ID_SLIDER");
    row->Add(slider, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, sliderRightBorder);
    valueLabel = new wxStaticText(this, valueId, wxString::Format("%i", value), wxDefaultPosition,
                                  wxDefaultSize, 0, "ID_STATICTEXT");
    valueLabel->SetFont(panelFont());
    valueLabel->SetForegroundColour(kLabelColour);
    row->Add(valueLabel, 0, wxTOP | wxALIGN_CENTER_VERTICAL, 1);
    return row;
}

void WyrleFrame::buildColourSection(wxBoxSizer* root) {
    wxBoxSizer* section = new wxBoxSizer(wxVERTICAL);
    colorHeading = heading(ID_STATICTEXT17, _("Color"));
    section->Add(colorHeading, 0, wxTOP | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 6);

    wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* swatches = new wxBoxSizer(wxVERTICAL);
    colorSwatch = new Compact<wxBitmapButton>(this, ID_BITMAPBUTTON1, wxNullBitmap, wxDefaultPosition, wxSize(50, 37),
                                     kSwatchStyle, wxDefaultValidator, "ID_BITMAPBUTTON1");
    colorSwatch->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION));
    swatches->Add(colorSwatch, 0, wxRIGHT, 3);
    bcgSwatch = new Compact<wxBitmapButton>(this, ID_BITMAPBUTTON2, wxNullBitmap, wxDefaultPosition, wxSize(50, 14),
                                   kSwatchStyle, wxDefaultValidator, "ID_BITMAPBUTTON2");
    bcgSwatch->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION));
    swatches->Add(bcgSwatch, 0, 0, 0);
    row->Add(swatches, 0, wxALIGN_BOTTOM, 0);

    wxBoxSizer* buttons = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* source = new wxBoxSizer(wxHORIZONTAL);
    colorButton = button(ID_COLOR_BUTTON, _("Color"), wxSize(53, 23), highlightColor);
    source->Add(colorButton, 0, 0, 0);
    gradientButton = button(ID_GRADIENT_BUTTON, _("Gradient"), wxSize(53, 23), normalColor);
    source->Add(gradientButton, 0, wxBOTTOM, 3);
    buttons->Add(source, 0, 0, 0);
    staticLine4 = new wxStaticLine(this, ID_STATICLINE4, wxDefaultPosition, wxSize(104, 1), wxLI_HORIZONTAL,
                                   "ID_STATICLINE4");
    staticLine4->Hide();
    buttons->Add(staticLine4, 0, 0, 0);
    wxBoxSizer* mode = new wxBoxSizer(wxHORIZONTAL);
    lightenButton = button(ID_BUTTON5, _("Lighten"), wxSize(53, 23), highlightColor);
    mode->Add(lightenButton, 0, 0, 0);
    darkenButton = button(ID_BUTTON1, _("Darken"), wxSize(53, 23), normalColor);
    mode->Add(darkenButton, 0, wxTOP, 3);
    buttons->Add(mode, 0, 0, 0);
    row->Add(buttons, 0, wxLEFT, 5);
    section->Add(row, 0, wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 8);

    wxBoxSizer* hsl = new wxBoxSizer(wxVERTICAL);
    hsl->Add(sliderRow(ID_STATICTEXT1, _("Hue"), 35, true, ID_SLIDERCOLOR, 10, 0, 239, wxSize(124, 22), 0,
                       ID_STATICTEXTCOLOR, sliderColor, labelColor),
             0, wxTOP, 2);
    hsl->Add(sliderRow(ID_STATICTEXT3, _("Sat"), 35, true, ID_SLIDERSATURATION, 218, 0, 240, wxSize(124, 22), 0,
                       ID_STATICTEXTSATURATION, sliderSaturation, labelSaturation),
             0, 0, 0);
    hsl->Add(sliderRow(ID_STATICTEXT2, _("Lum"), 35, true, ID_SLIDERLUM, 125, 0, 240, wxSize(124, 22), 0,
                       ID_STATICTEXTLUM, sliderLum, labelLum),
             0, 0, 0);
    section->Add(hsl, 0, wxALIGN_CENTER_HORIZONTAL, 0);
    // The engine paints at 40 from its set-up on; the slider shows that.
    section->Add(sliderRow(ID_STATICTEXT16, _("Opacity"), 36, false, ID_SLIDEROPACITY, 40, 1, 100, wxSize(124, 22),
                           1, ID_STATICTEXTOPACITY, sliderOpacity, labelOpacity),
                 0, wxRIGHT | wxALIGN_CENTER_HORIZONTAL, 5);
    root->Add(section, 0, wxALIGN_CENTER_HORIZONTAL, 0);
}

void WyrleFrame::buildToolsSection(wxBoxSizer* root) {
    wxBoxSizer* section = new wxBoxSizer(wxVERTICAL);
    staticLine1 = new wxStaticLine(this, ID_STATICLINE1, wxDefaultPosition, wxSize(180, 1), wxLI_HORIZONTAL,
                                   "ID_STATICLINE1");
    staticLine1->SetBackgroundColour(wxColour(0, 255, 255));
    section->Add(staticLine1, 0, wxTOP | wxALIGN_CENTER_HORIZONTAL, 5);
    toolsHeading = heading(ID_STATICTEXT18, _("Tools"));
    section->Add(toolsHeading, 0, wxTOP | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 6);

    wxBoxSizer* tools = new wxBoxSizer(wxHORIZONTAL);
    brushButton = button(ID_BUTTONBRUSH, _("Brush"), wxSize(78, 30), highlightColor);
    tools->Add(brushButton, 0, wxLEFT, 6);
    eraserButton = button(ID_BUTTONERASER, _("Eraser"), wxSize(78, 30), normalColor);
    tools->Add(eraserButton, 0, wxLEFT | wxRIGHT, 6);
    tools->InsertSpacer(1, 9 - 6);
    section->Add(tools, 0, wxALIGN_CENTER_HORIZONTAL, 0);

    wxBoxSizer* zoom = new wxBoxSizer(wxHORIZONTAL);
    zoomMinusButton = button(ID_BUTTONZOOMMINUS, _("-"), wxSize(23, 23), normalColor);
    zoomMinusButton->SetFont(wxFont(10, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false,
                                    "Arial", wxFONTENCODING_DEFAULT));
    zoom->Add(zoomMinusButton, 0, 0, 0);
    zoomLabelButton = button(ID_BUTTONTEXTZOOM, _("100%"), wxSize(40, 23), normalColor);
    zoom->Add(zoomLabelButton, 0, 0, 0);
    zoomPlusButton = button(ID_BUTTONZOOMPLUS, _("+"), wxSize(23, 23), normalColor);
    zoom->Add(zoomPlusButton, 0, 0, 0);
    undoButton = pictureButton(ID_BITMAPBUTTONUNDO, "data/undo.ico");
    undoButton->SetBackgroundColour(normalColor);
    zoom->Add(undoButton, 0, wxLEFT, 5);
    redoButton = pictureButton(ID_BITMAPBUTTONREDO, "data/redo.ico");
    redoButton->SetBackgroundColour(normalColor);
    zoom->Add(redoButton, 0, 0, 0);
    clearButton = button(ID_BUTTONCLEAR, _("Clr"), wxSize(23, 23), normalColor);
    wxBoxSizer* lowered = new wxBoxSizer(wxVERTICAL);
    lowered->Add(clearButton, 0, wxTOP, 8);
    zoom->Add(lowered, 0, wxLEFT, 5);
    section->Add(zoom, 0, wxTOP | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 6);
    root->Add(section, 0, wxALIGN_CENTER_HORIZONTAL, 0);
}

void WyrleFrame::buildBrushSection(wxBoxSizer* root) {
    brushSection = new wxBoxSizer(wxVERTICAL);
    staticLine2 = new wxStaticLine(this, ID_STATICLINE2, wxDefaultPosition, wxSize(180, 1), wxLI_HORIZONTAL,
                                   "ID_STATICLINE2");
    staticLine2->SetForegroundColour(wxColour(64, 128, 128));
    brushSection->Add(staticLine2, 0, wxTOP | wxALIGN_CENTER_HORIZONTAL, 5);
    brushHeading = heading(ID_STATICTEXT19, _("Brush"));
    brushSection->Add(brushHeading, 0, wxTOP | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 6);

    wxBoxSizer* styles = new wxBoxSizer(wxHORIZONTAL);
    wyrleButton = button(ID_BUTTONWYRLE, _("Wyrle"), wxSize(45, 23), highlightColor);
    styles->Add(wyrleButton, 0, 0, 0);
    followButton = button(ID_BUTTONFOLLOW, _("Follow"), wxSize(46, 23), normalColor);
    styles->Add(followButton, 0, 0, 0);
    ribbonButton = button(ID_BUTTONRIBBON, _("Ribbon"), wxSize(46, 23), normalColor);
    styles->Add(ribbonButton, 0, 0, 0);
    brushLibraryButton = pictureButton(ID_BITMAPBUTTON3, "data/brushes.ico");
    styles->Add(brushLibraryButton, 0, wxLEFT, 5);
    brushSection->Add(styles, 0, wxALIGN_CENTER_HORIZONTAL, 0);

    brushSection->Add(sliderRow(ID_STATICTEXT4, _("Size"), 33, true, ID_SLIDERSIZE, 100, 1, 300, wxSize(124, 22), 1,
                                ID_STATICTEXTSIZE, sliderSize, labelSize),
                      0, wxTOP, 7);
    wxBoxSizer* pair = new wxBoxSizer(wxHORIZONTAL);
    pair->Add(sliderRow(ID_STATICTEXT22, _("Width"), 33, true, ID_SLIDERWIDTH, 4, 0, 10, wxSize(38, 22), 1,
                        ID_STATICTEXTWIDTH, sliderWidth, labelWidth),
              0, wxRIGHT, 9);
    pair->Add(sliderRow(ID_STATICTEXT23, _("Step"), 31, true, ID_SLIDERSTEP, 1, 1, 20, wxSize(38, 22), 1,
                        ID_STATICTEXTSTEP, sliderStep, labelStep),
              0, 0, 0);
    brushSection->Add(pair, 0, 0, 0);
    staticLine8 = new wxStaticLine(this, ID_STATICLINE8, wxDefaultPosition, wxSize(132, 1), wxLI_HORIZONTAL,
                                   "ID_STATICLINE8");
    brushSection->Add(staticLine8, 0, wxLEFT, 30);

    struct Row {
        long nameId;
        const char* name;
        long sliderId;
        int value, lo, hi;
        long valueId;
        wxSlider** slider;
        wxStaticText** label;
    };
    const Row rows[] = {
        {ID_STATICTEXT5, "Soft", ID_SLIDERSOFT, 85, 1, 100, ID_STATICTEXT14, &sliderSoft, &labelSoft},
        {ID_STATICTEXT21, "Speed", ID_SLIDERSPEED, 90, 1, 100, ID_STATICTEXTSPEED, &sliderSpeed, &labelSpeed},
        {ID_STATICTEXT6, "Center", ID_SLIDERCENTER, 20, 0, 100, ID_STATICTEXT15, &sliderCenter, &labelCenter},
        {ID_STATICTEXT7, "Focus", ID_SLIDERFOCUS, 25, 0, 100, ID_STATICTEXTFOCUS, &sliderFocus, &labelFocus},
        {ID_STATICTEXT8, "Chaos", ID_SLIDERCHAOS, 70, 0, 100, ID_STATICTEXTCHAOS, &sliderChaos, &labelChaos},
        {ID_STATICTEXT9, "Noise", ID_SLIDERNOISE, 0, 0, 100, ID_STATICTEXTNOISE, &sliderNoise, &labelNoise},
    };
    bool first = true;
    for (const Row& r : rows) {
        brushSection->Add(sliderRow(r.nameId, wxGetTranslation(r.name), 33, true, r.sliderId, r.value, r.lo, r.hi,
                                    wxSize(124, 22), 1, r.valueId, *r.slider, *r.label),
                          0, wxTOP, first ? 4 : 0);
        first = false;
    }

    wxBoxSizer* block = new wxBoxSizer(wxVERTICAL);
    staticLine6 = new wxStaticLine(this, ID_STATICLINE6, wxDefaultPosition, wxSize(132, 1), wxLI_HORIZONTAL,
                                   "ID_STATICLINE6");
    block->Add(staticLine6, 0, wxLEFT, 30);
    wxBoxSizer* detailFade = new wxBoxSizer(wxHORIZONTAL);
    detailFade->Add(sliderRow(ID_STATICTEXT11, _("Detail"), 33, true, ID_SLIDERDETAIL, 1, 1, 4, wxSize(38, 22), 1,
                              ID_STATICTEXTDETAIL, sliderDetail, labelDetail),
                    0, wxRIGHT, 8);
    detailFade->Add(sliderRow(ID_STATICTEXT10, _("Fade"), 31, true, ID_SLIDERFADE, 1, 0, 10, wxSize(38, 22), 1,
                              ID_STATICTEXTFADE, sliderFade, labelFade),
                    0, 0, 0);
    block->Add(detailFade, 0, wxTOP, 5);
    wxBoxSizer* toggles = new wxBoxSizer(wxHORIZONTAL);
    fillButton = button(ID_BUTTONFILL, _("Fill"), wxSize(54, 23), highlightColor);
    toggles->Add(fillButton, 0, wxLEFT, 39);
    smoothButton = button(ID_BUTTONSMOOTH, _("Smooth"), wxSize(54, 23), highlightColor);
    toggles->Add(smoothButton, 0, wxLEFT, 5);
    block->Add(toggles, 0, wxBOTTOM, 6);
    brushSection->Add(block, 0, 0, 0);
    root->Add(brushSection, 0, wxLEFT | wxRIGHT | wxALIGN_CENTER_HORIZONTAL, 6);
}

void WyrleFrame::buildEraserSection(wxBoxSizer* root) {
    eraserSection = new wxBoxSizer(wxVERTICAL);
    staticLine3 = new wxStaticLine(this, ID_STATICLINE3, wxDefaultPosition, wxSize(180, 1), wxLI_HORIZONTAL,
                                   "ID_STATICLINE3");
    eraserSection->Add(staticLine3, 0, wxTOP | wxALIGN_CENTER_HORIZONTAL, 5);
    eraserHeading = heading(ID_STATICTEXT20, _("Eraser"));
    eraserSection->Add(eraserHeading, 0, wxTOP | wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 6);
    eraserSection->Add(sliderRow(ID_STATICTEXT12, _("Size"), 33, true, ID_SLIDERERASERSIZE, 35, 1, 200,
                                 wxSize(124, 22), 1, ID_STATICTEXTERASERSIZE, sliderEraserSize, labelEraserSize),
                       0, wxLEFT, 2);
    eraserSection->Add(sliderRow(ID_STATICTEXT13, _("Opacity"), 36, false, ID_SLIDERERASEROPACITY, 100, 1, 100,
                                 wxSize(124, 22), 1, ID_STATICTEXTERASEROPACITY, sliderEraserOpacity,
                                 labelEraserOpacity),
                       0, wxBOTTOM, 13);
    root->Add(eraserSection, 0, wxALIGN_CENTER_HORIZONTAL, 0);
}

void WyrleFrame::buildMenuBar() {
    wxMenuBar* bar = new wxMenuBar();
    struct Item {
        wxMenu* menu;
        long id;
        const char* label;
        const char* help;
        wxItemKind kind;
        wxMenuItem** keep;
    };
    wxMenu* file = new wxMenu();
    toolsMenu = new wxMenu();
    wxMenu* help = new wxMenu();
    const long sep = wxID_SEPARATOR;
    const Item items[] = {
        {file, wxID_NEW, "&New settings...\tCtrl-N", "New settings...", wxITEM_NORMAL, nullptr},
        {file, idFileLoad, "&Open...\tCtrl-O", "Open artwork", wxITEM_NORMAL, nullptr},
        {file, idFileSave, "&Save\tCtrl-S", "Save artwork", wxITEM_NORMAL, nullptr},
        {file, idFileSaveAs, "&Save as...\tCtrl-Shift-S", "Save artwork as", wxITEM_NORMAL, nullptr},
        {file, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {file, ID_MENUITEMOPENBACKLAYER, "Open Back Layer...", "Open Back Layer...", wxITEM_NORMAL, nullptr},
        {file, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {file, idFileExport, "Export...", "Export...", wxITEM_NORMAL, nullptr},
        {file, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {file, idFileQuit, "Quit", "Quit the application", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUBRUSH, "Brush\tQ", "Brush Tool", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUERASER, "Eraser\tE", "Eraser Tool", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUTOOLPLUS, "Tool Size +\t]", "Tool Size +", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUTOOLMINUS, "Tool Size -\t[", "Tool Size -", wxITEM_NORMAL, nullptr},
        {toolsMenu, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {toolsMenu, ID_MENUITEMBRUSHDIAL, "Brushes", "Brushes", wxITEM_CHECK, &menuBrushes},
        {toolsMenu, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {toolsMenu, ID_MENUITEMSHOWLAYERS, "Layers", "", wxITEM_CHECK, &menuLayers},
        {toolsMenu, ID_MENUITEMSHOWBCG, "Back Layer\tCtrl-B", "Back Layer", wxITEM_CHECK, &menuBackLayer},
        {toolsMenu, ID_MENUITEMCOLLAPSEFRONT, "Swap Layers\tCtrl-F", "Swap Layers", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUITEMCOLLAPSEBACK, "Collapse to Back\tCtrl-G", "Collapse to Back Layer", wxITEM_NORMAL,
         nullptr},
        {toolsMenu, ID_MENUITEMCLEARBACK, "Clear Back\tCtrl-H", "Clear Back Layer", wxITEM_NORMAL, nullptr},
        {toolsMenu, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {toolsMenu, ID_MENUUNDO, "Undo\tCtrl-Z", "Undo", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUREDO, "Redo\tCtrl-Shift-Z", "Redo", wxITEM_NORMAL, nullptr},
        {toolsMenu, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {toolsMenu, ID_MENUZOOMIN, "Zoom In\t+", "Zoom In", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUZOOMOUT, "Zoom Out\t-", "Zoom Out", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENURESETZOOM, "Reset Zoom\t/", "Reset Zoom", wxITEM_NORMAL, nullptr},
        {toolsMenu, sep, "", "", wxITEM_SEPARATOR, nullptr},
        {toolsMenu, ID_MENUITEMRESETBRUSH, "Reset Brush\tCtrl-R", "Reset Brush", wxITEM_NORMAL, nullptr},
        {toolsMenu, ID_MENUITEMCLEARARTWORK, "Clear Artwork\tDelete", "Clear Artwork", wxITEM_NORMAL, nullptr},
        {help, wxID_HELP, "&Help\tF1", "Help", wxITEM_NORMAL, nullptr},
        {help, ID_MENUITEMSETUP, "Preferences...", "Preferences...", wxITEM_NORMAL, nullptr},
        {help, ID_MENUONLINE, "Wyrle Online...", "Wyrle Online...", wxITEM_NORMAL, nullptr},
        {help, idHelpAbout, "About Wyrle", "About Wyrle", wxITEM_NORMAL, nullptr},
    };
    for (const Item& it : items) {
        bool separator = it.kind == wxITEM_SEPARATOR;
        wxMenuItem* item = new wxMenuItem(it.menu, static_cast<int>(it.id), separator ? wxString() : _(it.label),
                                          separator || !*it.help ? wxString() : _(it.help), it.kind);
        it.menu->Append(item);
        if (it.keep)
            *it.keep = item;
    }
    bar->Append(file, _("&File"));
    bar->Append(toolsMenu, _("Tools"));
    bar->Append(help, _("&Help"));
    SetMenuBar(bar);
}

void WyrleFrame::connectSlider(long id, void (WyrleFrame::*handler)(wxScrollEvent&)) {
    const wxEventType types[] = {wxEVT_SCROLL_PAGEUP, wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK,
                                 wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED};
    for (wxEventType type : types)
        Connect(id, type, wxEventFunctionCast(static_cast<wxScrollEventFunction>(handler)));
}

void WyrleFrame::connectButton(long id, void (WyrleFrame::*handler)(wxCommandEvent&)) {
    Connect(id, wxEVT_COMMAND_BUTTON_CLICKED,
            wxEventFunctionCast(static_cast<wxCommandEventFunction>(handler)));
}

void WyrleFrame::connectMenu(long id, void (WyrleFrame::*handler)(wxCommandEvent&)) {
    Connect(id, wxEVT_COMMAND_MENU_SELECTED,
            wxEventFunctionCast(static_cast<wxCommandEventFunction>(handler)));
}

void WyrleFrame::connectHandlers() {
    connectButton(ID_BITMAPBUTTON1, &WyrleFrame::OnBitmapButton_colorClick);
    connectButton(ID_BITMAPBUTTON2, &WyrleFrame::OnBitmapButton_bcgColorClick);
    connectButton(ID_COLOR_BUTTON, &WyrleFrame::OnButton_colour_colorClick);
    connectButton(ID_GRADIENT_BUTTON, &WyrleFrame::OnButton_gradientClick);
    connectButton(ID_BUTTON5, &WyrleFrame::OnButton_ad_subClick);
    connectButton(ID_BUTTON1, &WyrleFrame::OnButton_darkenClick);
    connectSlider(ID_SLIDERCOLOR, &WyrleFrame::OnSliderColorCmdScrollChanged);
    connectSlider(ID_SLIDERSATURATION, &WyrleFrame::OnSliderSaturationCmdScrollChanged);
    connectSlider(ID_SLIDERLUM, &WyrleFrame::OnSliderLumCmdScrollChanged);
    connectSlider(ID_SLIDEROPACITY, &WyrleFrame::OnSliderOpacityCmdScrollChanged);
    connectButton(ID_BUTTONBRUSH, &WyrleFrame::OnButton_brushClick);
    connectButton(ID_BUTTONERASER, &WyrleFrame::OnButtonEraserClick);
    connectButton(ID_BUTTONZOOMMINUS, &WyrleFrame::OnButtonZoomMinusClick);
    connectButton(ID_BUTTONTEXTZOOM, &WyrleFrame::OnButtonTextZoomClick);
    connectButton(ID_BUTTONZOOMPLUS, &WyrleFrame::OnButtonZoomPlusClick);
    connectButton(ID_BITMAPBUTTONUNDO, &WyrleFrame::OnBitmapButtonUndoClick);
    connectButton(ID_BITMAPBUTTONREDO, &WyrleFrame::OnBitmapButtonRedoClick);
    connectButton(ID_BUTTONCLEAR, &WyrleFrame::OnMenuItemClearArtworkSelected);
    connectButton(ID_BUTTONWYRLE, &WyrleFrame::OnButtonWyrleClick);
    connectButton(ID_BUTTONFOLLOW, &WyrleFrame::OnButtonFollowClick);
    connectButton(ID_BUTTONRIBBON, &WyrleFrame::OnButtonRibbonClick);
    connectButton(ID_BITMAPBUTTON3, &WyrleFrame::OnButtonBrushPreset);
    connectSlider(ID_SLIDERSIZE, &WyrleFrame::OnSliderSizeCmdScrollChanged);
    connectSlider(ID_SLIDERWIDTH, &WyrleFrame::OnSliderWidthCmdScrollChanged);
    connectSlider(ID_SLIDERSTEP, &WyrleFrame::OnSliderStepCmdScrollChanged);
    connectSlider(ID_SLIDERSOFT, &WyrleFrame::OnSliderSoftCmdScrollChanged);
    connectSlider(ID_SLIDERSPEED, &WyrleFrame::OnSliderSpeedCmdScrollChanged);
    connectSlider(ID_SLIDERCENTER, &WyrleFrame::OnSliderCenterCmdScrollChanged);
    connectSlider(ID_SLIDERFOCUS, &WyrleFrame::OnSliderFocusCmdScrollChanged);
    connectSlider(ID_SLIDERCHAOS, &WyrleFrame::OnSliderChaosCmdScrollChanged);
    connectSlider(ID_SLIDERNOISE, &WyrleFrame::OnSliderNoiseCmdScrollChanged);
    connectSlider(ID_SLIDERDETAIL, &WyrleFrame::OnSliderDetailCmdScrollChanged);
    connectSlider(ID_SLIDERFADE, &WyrleFrame::OnSliderFadeCmdScrollChanged);
    connectButton(ID_BUTTONFILL, &WyrleFrame::OnButton4Click);
    connectButton(ID_BUTTONSMOOTH, &WyrleFrame::OnButton3Click);
    connectSlider(ID_SLIDERERASERSIZE, &WyrleFrame::OnSliderEraserSizeCmdScrollChanged);
    connectSlider(ID_SLIDERERASEROPACITY, &WyrleFrame::OnSliderEraserOpacityCmdScrollChanged);

    connectMenu(wxID_NEW, &WyrleFrame::OnMenuItemNew);
    connectMenu(idFileLoad, &WyrleFrame::OnMenuItemLoadSelected);
    connectMenu(idFileSave, &WyrleFrame::OnMenuItemSaveSelected);
    connectMenu(idFileSaveAs, &WyrleFrame::OnMenuItemSaveAsSelected);
    Bind(wxEVT_UPDATE_UI, &WyrleFrame::OnUpdateShowBcg, this, ID_MENUITEMSHOWBCG);
    connectMenu(ID_MENUITEMOPENBACKLAYER, &WyrleFrame::OnMenuItemOpenBackLayerSelected);
    connectMenu(idFileExport, &WyrleFrame::OnMenuItemExportSelected);
    connectMenu(idFileQuit, &WyrleFrame::OnQuit);
    connectMenu(ID_MENUBRUSH, &WyrleFrame::OnButton_brushClick);
    connectMenu(ID_MENUERASER, &WyrleFrame::OnButtonEraserClick);
    connectMenu(ID_MENUTOOLPLUS, &WyrleFrame::OnMenuItemToolSizePlus);
    connectMenu(ID_MENUTOOLMINUS, &WyrleFrame::OnMenuItemToolSizeMinus);
    connectMenu(ID_MENUITEMBRUSHDIAL, &WyrleFrame::OnButtonBrushPreset);
    connectMenu(ID_MENUITEMSHOWLAYERS, &WyrleFrame::OnMenuItemShowLayersSelected);
    connectMenu(ID_MENUITEMSHOWBCG, &WyrleFrame::OnMenuItemShowBcgSelected);
    connectMenu(ID_MENUITEMCOLLAPSEFRONT, &WyrleFrame::OnMenuItemCollapseFrontSelected);
    connectMenu(ID_MENUITEMCOLLAPSEBACK, &WyrleFrame::OnMenuItemCollapseBackSelected);
    connectMenu(ID_MENUITEMCLEARBACK, &WyrleFrame::OnMenuItemClearBackSelected);
    connectMenu(ID_MENUUNDO, &WyrleFrame::OnBitmapButtonUndoClick);
    connectMenu(ID_MENUREDO, &WyrleFrame::OnBitmapButtonRedoClick);
    connectMenu(ID_MENUZOOMIN, &WyrleFrame::OnButtonZoomPlusClick);
    connectMenu(ID_MENUZOOMOUT, &WyrleFrame::OnButtonZoomMinusClick);
    connectMenu(ID_MENURESETZOOM, &WyrleFrame::OnMenuItemZoomResetClick);
    connectMenu(ID_MENUITEMRESETBRUSH, &WyrleFrame::OnMenuItemResetBrushSelected);
    connectMenu(ID_MENUITEMCLEARARTWORK, &WyrleFrame::OnMenuItemClearArtworkSelected);
    connectMenu(wxID_HELP, &WyrleFrame::OnMenuItemHelpSelected);
    connectMenu(ID_MENUITEMSETUP, &WyrleFrame::OnMenuItemSetupSelected);
    connectMenu(ID_MENUONLINE, &WyrleFrame::OnMenuItemWyrleOnline);
    connectMenu(idHelpAbout, &WyrleFrame::OnAbout);

    Connect(wxID_ANY, wxEVT_CLOSE_WINDOW, wxCloseEventHandler(WyrleFrame::OnClose));
}

// ---------------------------------------------------------------------------
// Small helpers

void WyrleFrame::setLabel(wxStaticText* label, int value) {
    label->SetLabel(wxString::Format("%i", value));
}

void WyrleFrame::setSlider(wxSlider* slider, wxStaticText* label, int value) {
    slider->SetValue(value);
    setLabel(label, value);
}

void WyrleFrame::selectButton(wxButton* selected, std::initializer_list<wxButton*> others) {
    selected->SetBackgroundColour(highlightColor);
    for (wxButton* b : others)
        b->SetBackgroundColour(normalColor);
}

void WyrleFrame::showLightenOrDarken(bool lighten) {
    if (lighten)
        selectButton(lightenButton, {darkenButton});
    else
        selectButton(darkenButton, {lightenButton});
}

void WyrleFrame::paintSwatch(wxBitmapButton* swatch, int w, int h, const wxColour& colour) {
    swatch->SetBitmapLabel(dialogkit::solidBitmap(w, h, colour));
}

void WyrleFrame::setColourControlsEnabled(bool hsl, bool others) {
    sliderLum->Enable(hsl);
    sliderSaturation->Enable(hsl);
    sliderColor->Enable(hsl);
    colorButton->Enable(others);
    gradientButton->Enable(others);
    colorSwatch->Enable(others);
}

// ---------------------------------------------------------------------------
// Brush and tool controls

#define WYRLE_SLIDER(handler, label, global, type, expr, flag)   \
    void WyrleFrame::handler(wxScrollEvent& event) {              \
        const int p = event.GetPosition();                        \
        storeSetting<type>(global, static_cast<type>(expr));      \
        setLabel(label, p);                                       \
        flag;                                                     \
    }

WYRLE_SLIDER(OnSliderSizeCmdScrollChanged, labelSize, f_PartNum, int, ofMap(p, 1, 300, 2, 300),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderWidthCmdScrollChanged, labelWidth, f_NormLen, float, ofMap(p, 0, 10, 0, 2.5f),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderStepCmdScrollChanged, labelStep, f_PartStep, int, ofMap(p, 1, 20, 1, 20),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderSoftCmdScrollChanged, labelSoft, f_velInf, float, ofMap(p, 1, 100, 1, 0.002f),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderSpeedCmdScrollChanged, labelSpeed, f_slow1, float, ofMap(p, 1, 100, 0.1f, 0.97f),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderCenterCmdScrollChanged, labelCenter, f_mass1, float, ofMap(p, 0, 100, 0, 250),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderFocusCmdScrollChanged, labelFocus, f_mass2, float, ofMap(p, 0, 100, 0.001f, 4),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderChaosCmdScrollChanged, labelChaos, f_DistZ, float, ofMap(p, 0, 100, 300, 0),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderNoiseCmdScrollChanged, labelNoise, f_randd, float, ofMap(p, 0, 100, 0, 100),
             requests::raise(f_setStrings))
WYRLE_SLIDER(OnSliderDetailCmdScrollChanged, labelDetail, f_paintDetail, int, ofMap(p, 1, 4, 1, 4), (void)0)
WYRLE_SLIDER(OnSliderFadeCmdScrollChanged, labelFade, f_fadez, float, p == 0 ? 0.0f : ofMap(p, 1, 10, 10, 1),
             (void)0)
WYRLE_SLIDER(OnSliderOpacityCmdScrollChanged, labelOpacity, f_opacityz, float, ofMap(p, 1, 100, 1, 100), (void)0)
WYRLE_SLIDER(OnSliderEraserSizeCmdScrollChanged, labelEraserSize, f_eraserzSize, float, ofMap(p, 1, 200, 1, 200),
             (void)0)
WYRLE_SLIDER(OnSliderEraserOpacityCmdScrollChanged, labelEraserOpacity, f_eraserzOpacity, float,
             ofMap(p, 0, 100, 0, 1), (void)0)

#undef WYRLE_SLIDER

void WyrleFrame::OnButtonWyrleClick(wxCommandEvent&) {
    selectButton(wyrleButton, {followButton, ribbonButton});
    f_modes.store(0);
    requests::raise(f_setStrings);
}

void WyrleFrame::OnButtonFollowClick(wxCommandEvent&) {
    selectButton(followButton, {wyrleButton, ribbonButton});
    f_modes.store(1);
    requests::raise(f_setStrings);
}

void WyrleFrame::OnButtonRibbonClick(wxCommandEvent&) {
    selectButton(ribbonButton, {wyrleButton, followButton});
    f_modes.store(2);
    requests::raise(f_setStrings);
}

void WyrleFrame::OnButton4Click(wxCommandEvent&) {
    const bool on = !bFill;
    fillButton->SetBackgroundColour(on ? highlightColor : normalColor);
    sliderStep->Enable(!on);
    sliderDetail->Enable(on);
    bFill = on;
    f_fillz.store(on);
}

void WyrleFrame::OnButton3Click(wxCommandEvent&) {
    const bool on = !bSmooth;
    smoothButton->SetBackgroundColour(on ? highlightColor : normalColor);
    bSmooth = on;
    f_spline.store(on);
}

void WyrleFrame::BrushClick() {
    f_painterz.store(true);
    f_eraserz.store(false);
    selectButton(brushButton, {eraserButton});
    sliderOpacity->Enable();
    lightenButton->Enable();
    darkenButton->Enable();
    setColourControlsEnabled(f_perpixelz.load() == 0, true);
    eraserSection->ShowItems(false);
    brushSection->ShowItems(true);
    Layout();
}

void WyrleFrame::OnButton_brushClick(wxCommandEvent&) { BrushClick(); }

void WyrleFrame::EraserClick() {
    f_painterz.store(false);
    f_eraserz.store(true);
    selectButton(eraserButton, {brushButton});
    sliderOpacity->Disable();
    lightenButton->Disable();
    darkenButton->Disable();
    setColourControlsEnabled(false, false);
    eraserSection->ShowItems(true);
    brushSection->ShowItems(false);
    Layout();
}

void WyrleFrame::OnButtonEraserClick(wxCommandEvent&) { EraserClick(); }

void WyrleFrame::OnMenuItemToolSizePlus(wxCommandEvent&) {
    if (f_painterz.load()) {
        int n = static_cast<int>(toolwindow::toolSizeStep(static_cast<float>(f_PartNum.load()), true, 2, 300));
        f_PartNum.store(n);
        setSlider(sliderSize, labelSize, static_cast<int>(ofMap(static_cast<float>(n), 2, 300, 1, 300)));
    }
    if (f_eraserz.load()) {
        float size = toolwindow::toolSizeStep(f_eraserzSize.load(), true, 1, 200);
        f_eraserzSize.store(size);
        setSlider(sliderEraserSize, labelEraserSize, static_cast<int>(ofMap(size, 1, 200, 1, 200)));
    }
}

void WyrleFrame::OnMenuItemToolSizeMinus(wxCommandEvent&) {
    if (f_painterz.load()) {
        int n = static_cast<int>(toolwindow::toolSizeStep(static_cast<float>(f_PartNum.load()), false, 2, 300));
        f_PartNum.store(n);
        setSlider(sliderSize, labelSize, static_cast<int>(ofMap(static_cast<float>(n), 2, 300, 1, 300)));
    }
    if (f_eraserz.load()) {
        float size = toolwindow::toolSizeStep(f_eraserzSize.load(), false, 1, 200);
        f_eraserzSize.store(size);
        setSlider(sliderEraserSize, labelEraserSize, static_cast<int>(ofMap(size, 1, 200, 1, 200)));
    }
}

void WyrleFrame::zoomTo(int index) {
    if (f_newBrushPreset.load() != 0)
        return;
    if (index < 0)
        index = 0;
    if (index > 9)
        index = 9;
    f_scalezRangePos.store(index);
    zoomLabelButton->SetLabel(toolwindow::zoomLabel(index));
    requests::raise(f_centerTexture);
}

void WyrleFrame::ZoomMinusClick() { zoomTo(f_scalezRangePos.load() + 1); }
void WyrleFrame::ZoomPlusClick() { zoomTo(f_scalezRangePos.load() - 1); }
void WyrleFrame::ZoomResetClick() { zoomTo(2); }
void WyrleFrame::OnButtonZoomMinusClick(wxCommandEvent&) { ZoomMinusClick(); }
void WyrleFrame::OnButtonZoomPlusClick(wxCommandEvent&) { ZoomPlusClick(); }
void WyrleFrame::OnButtonTextZoomClick(wxCommandEvent&) { ZoomResetClick(); }
void WyrleFrame::OnMenuItemZoomResetClick(wxCommandEvent&) { ZoomResetClick(); }

void WyrleFrame::OnMenuItemResetBrushSelected(wxCommandEvent&) {
    requests::raise(f_setupBrushParameters);
    const std::pair<wxSlider*, wxStaticText*> rows[] = {
        {sliderSize, labelSize},     {sliderWidth, labelWidth}, {sliderSoft, labelSoft},
        {sliderCenter, labelCenter}, {sliderFocus, labelFocus}, {sliderChaos, labelChaos},
        {sliderNoise, labelNoise},   {sliderSpeed, labelSpeed}, {sliderStep, labelStep},
    };
    const int values[] = {100, 4, 85, 20, 25, 70, 0, 90, 1};
    for (size_t i = 0; i < 9; ++i)
        setLabel(rows[i].second, values[i]);
    for (size_t i = 0; i < 9; ++i)
        rows[i].first->SetValue(values[i]);
    setSlider(sliderFade, labelFade, 1);
    setSlider(sliderDetail, labelDetail, 1);
    fillButton->SetBackgroundColour(highlightColor);
    bFill = true;
    f_fillz.store(true);
    smoothButton->SetBackgroundColour(highlightColor);
    bSmooth = true;
    f_spline.store(true);
    selectButton(wyrleButton, {followButton, ribbonButton});
    sliderStep->Disable();
    sliderDetail->Enable();
}

void WyrleFrame::SetSliderSize(int n) { setSlider(sliderSize, labelSize, n); }
void WyrleFrame::SetSliderEraserSize(int n) { setSlider(sliderEraserSize, labelEraserSize, n); }
void WyrleFrame::SetZoomLabel(const wxString& label) { zoomLabelButton->SetLabel(label); }

// ---------------------------------------------------------------------------
// Colour controls

void WyrleFrame::OnButton_colour_colorClick(wxCommandEvent&) {
    bGradientMode = false;
    selectButton(colorButton, {gradientButton});
    paintSwatch(colorSwatch, 50, 37, swatchColor);
    sliderColor->Enable();
    sliderSaturation->Enable();
    sliderLum->Enable();
    f_perpixelz.store(0);
}

void WyrleFrame::OnButton_gradientClick(wxCommandEvent&) {
    bGradientMode = true;
    selectButton(gradientButton, {colorButton});
    colorSwatch->SetBitmapLabel(gradientDialog->GradientBitmap(49, 50));
    colorSwatch->Refresh();
    sliderColor->Disable();
    sliderSaturation->Disable();
    sliderLum->Disable();
    f_perpixelz.store(1);
}

void WyrleFrame::OnBitmapButton_colorClick(wxCommandEvent&) {
    if (bGradientMode) {
        if (bGradientShown) {
            gradientDialog->PreClose();
            gradientDialog->Show(false);
            bGradientShown = false;
        } else {
            bGradientShown = true;
            dialogkit::showDialog(gradientDialog);
            gradientDialog->SetBitmapButtonColor(colorSwatch);
            colorSwatch->SetBitmapLabel(gradientDialog->GradientBitmap(49, 50));
            colorSwatch->Refresh();
        }
        return;
    }
    if (bColorDialogLatch) {
        bColorDialogLatch = false;
        return;
    }
    bColorDialogLatch = true;
    wxColourData data;
    prompts::prepareColourData(data, swatchColor);
    if (!prompts::chooseColour(this, data))
        return;
    const wxColour chosen = data.GetColour();
    paintSwatch(colorSwatch, 50, 37, chosen);
    swatchColor = chosen;
    paletteBasicRadd.store(chosen.Red());
    paletteBasicGadd.store(chosen.Green());
    paletteBasicBadd.store(chosen.Blue());
    requests::raise(f_setPalette);
    int hue = 0, sat = 0, lum = 0;
    toolwindow::sliderPositions(chosen.Red(), chosen.Green(), chosen.Blue(), hue, sat, lum);
    setSlider(sliderColor, labelColor, hue);
    setSlider(sliderSaturation, labelSaturation, sat);
    setSlider(sliderLum, labelLum, lum);
}

void WyrleFrame::hslSliderMoved(std::atomic<float>& component, wxStaticText* label, int p) {
    component.store(ofMap(p, 0, 240, 0, 1));
    setLabel(label, p);
    requests::raise(f_setPaletteBasicHSV);
    basicColorBitmap();
}

void WyrleFrame::OnSliderColorCmdScrollChanged(wxScrollEvent& event) {
    hslSliderMoved(paletteBasicH, labelColor, event.GetPosition());
}

void WyrleFrame::OnSliderSaturationCmdScrollChanged(wxScrollEvent& event) {
    hslSliderMoved(paletteBasicS, labelSaturation, event.GetPosition());
}

void WyrleFrame::OnSliderLumCmdScrollChanged(wxScrollEvent& event) {
    hslSliderMoved(paletteBasicL, labelLum, event.GetPosition());
}

void WyrleFrame::OnButton_ad_subClick(wxCommandEvent&) {
    f_additive.store(true);
    showLightenOrDarken(true);
    requests::raise(f_setPalette);
}

void WyrleFrame::OnButton_darkenClick(wxCommandEvent&) {
    f_additive.store(false);
    showLightenOrDarken(false);
    requests::raise(f_setPalette);
}

void WyrleFrame::OnBitmapButton_bcgColorClick(wxCommandEvent&) {
    if (f_newBrushPreset.load() != 0)
        return;
    wxColourData data;
    prompts::prepareColourData(data, wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load()));
    if (!prompts::chooseColour(this, data))
        return;
    const wxColour chosen = data.GetColour();
    f_bcgR.store(chosen.Red());
    f_bcgG.store(chosen.Green());
    f_bcgB.store(chosen.Blue());
    backgroundColorBitmap();
    requests::request(kWorkFillFront);
    const bool darken = chosen.Red() + chosen.Green() + chosen.Blue() > 379;
    f_additive.store(!darken);
    showLightenOrDarken(!darken);
    requests::raise(f_setPalette);
}

void WyrleFrame::basicColorBitmap() {
    float r = 0, g = 0, b = 0;
    HSL_2_RGB(paletteBasicH.load(), paletteBasicS.load(), paletteBasicL.load(), r, g, b);
    const wxColour k(static_cast<unsigned char>(static_cast<int>(r)), static_cast<unsigned char>(static_cast<int>(g)),
                     static_cast<unsigned char>(static_cast<int>(b)));
    paintSwatch(colorSwatch, 50, 37, k);
    swatchColor = k;
}

void WyrleFrame::backgroundColorBitmap() {
    paintSwatch(bcgSwatch, 50, 14, wxColour(f_bcgR.load(), f_bcgG.load(), f_bcgB.load()));
}

void WyrleFrame::RGB_2_HSL(float r, float g, float b, float& h, float& s, float& l) {
    // The channels are kept as floats, so a grey stays a grey.
    const float R = static_cast<float>(r / 255.0L);
    const float G = static_cast<float>(g / 255.0L);
    const float B = static_cast<float>(b / 255.0L);
    long double mn = R, mx = R;
    if (G < mn) mn = G;
    if (B < mn) mn = B;
    if (G > mx) mx = G;
    if (B > mx) mx = B;
    const long double d = mx - mn;
    l = static_cast<float>((mx + mn) / 2);
    if (d == 0) {
        h = 0;
        s = 0;
        return;
    }
    if (l < 0.5f) {
        const float sum = static_cast<float>(mx + mn);
        s = static_cast<float>(d / sum);
    } else {
        s = static_cast<float>(d / (2 - mx - mn));
    }
    const float dR = static_cast<float>(((mx - R) / 6 + d / 2) / d);
    const float dG = static_cast<float>(((mx - G) / 6 + d / 2) / d);
    const float dB = static_cast<float>(((mx - B) / 6 + d / 2) / d);
    long double hue = 0;
    if (R == mx)
        hue = static_cast<long double>(dB) - dG;
    else if (G == mx)
        hue = 1.0L / 3 + dR - dB;
    else if (B == mx)
        hue = 2.0L / 3 + dG - dR;
    if (hue < 0)
        hue += 1;
    if (hue > 1)
        hue -= 1;
    h = static_cast<float>(hue);
}

void WyrleFrame::HSL_2_RGB(float h, float s, float l, float& r, float& g, float& b) {
    if (s == 0) {
        r = g = b = l * 255;
        return;
    }
    const float q = l < 0.5f ? l * (1 + s) : (l + s) - s * l;
    const float p = 2 * l - q;
    r = 255 * Hue_2_RGB(p, q, static_cast<float>(h + 1.0L / 3));
    g = 255 * Hue_2_RGB(p, q, h);
    b = 255 * Hue_2_RGB(p, q, static_cast<float>(h - 1.0L / 3));
}

float WyrleFrame::Hue_2_RGB(float p, float q, float t) {
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (6 * t < 1)
        return static_cast<float>(p + (static_cast<long double>(q) - p) * 6 * t);
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return static_cast<float>(p + (static_cast<long double>(q) - p) * (2.0L / 3 - t) * 6);
    return p;
}

// ---------------------------------------------------------------------------
// File, layer and help commands

void WyrleFrame::OnMenuItemNew(wxCommandEvent&) {
    f_showCursor.store(false);
    NewDialog();
}

void WyrleFrame::OnMenuItemLoadSelected(wxCommandEvent&) {
    f_showCursor.store(false);
    LoadDialog();
}

void WyrleFrame::NewDialog() { dialogkit::showDialog(newDial); }
void WyrleFrame::LoadDialog() { dialogkit::showDialog(loadDial); }

void WyrleFrame::OnMenuItemSaveSelected(wxCommandEvent&) { Save(); }
void WyrleFrame::OnMenuItemSaveAsSelected(wxCommandEvent&) { SaveDialog(); }

void WyrleFrame::OnMenuItemSaveAsDefaultSettings() {
    f_premultiAlpha.store(0);
    f_alphaBCGsave.store(f_alphaBCG.load());
}

void WyrleFrame::Save() {
    OnMenuItemSaveAsDefaultSettings();
    if (gSaveAs.load()) {
        f_export.store(false);
        requests::request(kWorkSave);
        return;
    }
    SaveDialog();
}

void WyrleFrame::SaveDialog() {
    OnMenuItemSaveAsDefaultSettings();
    const toolwindow::SaveProposal proposal = toolwindow::proposeSave(gSaveAs.load(), f_saveFile.get(), f_loadFile.get());
    const wxString types = toolwindow::saveFileTypes(proposal.extension);
    wxFileName proposed(proposal.path);
    const prompts::SaveAnswer answer =
        prompts::saveFile(this, toolwindow::saveDialogTitle(wxString::FromUTF8(gTitle.c_str())), proposed.GetPath(),
                          proposed.GetFullName(), types);
    // GTK leaves a bare name bare; it gets the type chosen in the dialog.
    const wxString path = toolwindow::withTypeExtension(answer.path, types, answer.filterIndex);
    bool save = !path.empty();
    if (!path.empty() && FileExists(path.utf8_str())) {
        const int reply = prompts::askOverwrite(this);
        if (reply == wxID_NO) {
            save = false;
        } else if (reply != wxID_YES) {
            prompts::message(_("Unexpected wxMessageDialog return code!"),
                             _("Unexpected wxMessageDialog return code!"), this);
            return;
        }
    }
    if (save) {
        f_saveFile.set(path);
        f_export.store(false);
        gSaveAs.store(true);
        gFileSaved.store(true);
        requests::request(kWorkSave);
    }
    f_showCursor.store(true);
}

bool WyrleFrame::FileExists(const char* path) {
    struct stat st;
    return path && ::stat(path, &st) == 0;
}

void WyrleFrame::OnMenuItemOpenBackLayerSelected(wxCommandEvent&) {
    const wxString path = prompts::openFile(*openFileDialog);
    if (path.empty())
        return;
    f_fixedLoadPic.store(true);
    f_loadFileBcg.set(path);
    requests::request(kWorkLoad);
}

void WyrleFrame::OnMenuItemExportSelected(wxCommandEvent&) { dialogkit::showDialog(exportDialog); }
void WyrleFrame::OnMenuItemSetupSelected(wxCommandEvent&) { dialogkit::showDialog(settingsDialog); }
void WyrleFrame::OnAbout(wxCommandEvent&) { prompts::showModal(*aboutDialog); }

void WyrleFrame::openWithOpener(const wxString& target) {
    // An argument vector, not a shell line: quotes or blanks in the path stay
    // part of the one argument.
    const wxScopedCharBuffer program = opener.utf8_str();
    const wxScopedCharBuffer argument = target.utf8_str();
    // Nothing is shown for a missing opener, as for a missing manual; one
    // line says why nothing opened.
    if (!toolwindow::findProgram(opener)) {
        std::fprintf(stderr, "Wyrle: cannot open %s: %s is not installed\n", argument.data(), program.data());
        return;
    }
    const char* argv[] = {program.data(), argument.data(), nullptr};
    wxLogNull quiet;
    wxExecute(const_cast<char**>(argv), wxEXEC_ASYNC);
}

void WyrleFrame::openManual() {
    const wxString manual = toolwindow::manualPath(wxGetCwd());
    // The opener would say nothing about a missing file.
    if (!wxFileName::FileExists(manual)) {
        prompts::message(_("The manual could not be found: ") + manual, _("Info"));
        return;
    }
    openWithOpener(manual);
}

void WyrleFrame::HelpSelected() { openManual(); }
void WyrleFrame::OnMenuItemHelpSelected(wxCommandEvent&) { HelpSelected(); }
// Until the program has a public page of its own, its page is the manual.
void WyrleFrame::openWebPage() { openManual(); }
void WyrleFrame::OnMenuItemWyrleOnline(wxCommandEvent&) { openWebPage(); }

void WyrleFrame::ShowBcgSelected() {
    const bool show = !f_showBcg.load();
    f_showBcg.store(show);
    menuBackLayer->Check(show);
    requests::raise(f_changeShowBcg, 1);
}

void WyrleFrame::OnMenuItemShowBcgSelected(wxCommandEvent&) { ShowBcgSelected(); }

void WyrleFrame::OnUpdateShowBcg(wxUpdateUIEvent& event) {
    // The engine shows the back layer itself when it loads a picture into it.
    event.Check(f_showBcg.load());
}

void WyrleFrame::OnMenuItemShowLayersSelected(wxCommandEvent&) {
    const int shown = f_changeShowLayers.load() != 1 ? 1 : 0;
    f_changeShowLayers.store(shown);
    menuLayers->Check(shown == 1);
}

void WyrleFrame::OnMenuItemCollapseFrontSelected(wxCommandEvent&) { requests::raise(f_changeCollapse, 1); }
void WyrleFrame::OnMenuItemCollapseBackSelected(wxCommandEvent&) { requests::raise(f_changeCollapse, 2); }
void WyrleFrame::OnMenuItemClearBackSelected(wxCommandEvent&) { requests::raise(f_changeClearBack, 1); }
void WyrleFrame::OnBitmapButtonUndoClick(wxCommandEvent&) { requests::request(kWorkUndo); }
void WyrleFrame::OnBitmapButtonRedoClick(wxCommandEvent&) { requests::request(kWorkRedo); }
void WyrleFrame::OnMenuItemClearArtworkSelected(wxCommandEvent&) { requests::request(kWorkClearFront); }

void WyrleFrame::OnButtonBrushPreset(wxCommandEvent&) {
    if (bBrushesShown) {
        int capturing = 2;
        f_newBrushPreset.compare_exchange_strong(capturing, 3);
        saveBrushDialog->Show(false);
        bBrushesShown = false;
        menuBrushes->Check(false);
    } else {
        dialogkit::showDialog(saveBrushDialog);
        bBrushesShown = true;
        menuBrushes->Check(true);
    }
}

// ---------------------------------------------------------------------------
// Placement, idle and closing

wxPoint WyrleFrame::clientOffset() const {
    // Only a shown window knows where the toolkit put its client area.
    if (!IsShown())
        return wxPoint(0, 0);
    return ClientToScreen(wxPoint(0, 0)) - GetScreenPosition();
}

void WyrleFrame::writeGuiPosition() {
    const wxPoint client = GetPosition() + clientOffset();
    gGuiPositionX.store(client.x);
    gGuiPositionY.store(client.y);
}

void WyrleFrame::moveFrameTo(int x, int y) {
    programMoveTarget = wxPoint(x, y);
    // A window already there gets no move, and so sends no report to skip.
    programMovePending = GetPosition() != programMoveTarget;
    Move(x, y);
    writeGuiPosition();
}

bool WyrleFrame::Show(bool show) {
    const bool changed = wxFrame::Show(show);
    if (show)
        writeGuiPosition();
    return changed;
}

void WyrleFrame::OnMove(wxMoveEvent& event) {
    const wxPoint client = event.GetPosition() + clientOffset();
    gGuiPositionX.store(client.x);
    gGuiPositionY.store(client.y);
    event.Skip();
    // GTK reports a move the program made itself later, as an event of its
    // own, wherever the window manager put the window: a desktop with a top
    // panel refuses the home position and answers with another one.
    if (programMovePending) {
        programMovePending = false;
        return;
    }
    int x = 0, y = 0;
    const bool snaps = toolwindow::dockTarget(client.x, client.y, gBasePositionX.load(), gBasePositionY.load(),
                                              f_borderWidth.load(), f_borderHeight.load(), x, y);
    // The snap just made is not asked for again until the user takes the
    // window out of its zone: where the window manager kept the window from
    // it, asking again would only repeat the refusal, forever.
    const bool sameSnap = snaps && wxPoint(x, y) == programMoveTarget;
    if (snaps && !sameSnap) {
        moveTo.set(x, y);
        requests::raise(bMove);
        // Nothing polls for it: the idle handler runs because it is woken.
        wxWakeUpIdle();
    } else {
        bMove.store(false);
    }
    if (!sameSnap)
        programMoveTarget = wxPoint(INT_MIN, INT_MIN);
}

void WyrleFrame::OnIdle(wxIdleEvent& event) {
    // Each request is taken before it is acted on, so one the engine raises
    // meanwhile waits for the next idle event instead of being lost.
    if (requests::take(bMove)) {
        int x = 0, y = 0;
        moveTo.get(x, y);
        moveFrameTo(x, y);
    }
    if (requests::take(f_newArtwork)) {
        backgroundColorBitmap();
        showLightenOrDarken(f_additive.load());
        requests::raise(f_setPalette);
    }
    event.Skip();
}

void WyrleFrame::OnTop() {
    if (focusWindow)
        focusWindow->SetFocus();
}

void WyrleFrame::OnClose(wxCloseEvent&) { ofAppGlutWindow::exitApp(); }

void WyrleFrame::OnQuit(wxCommandEvent&) { Close(false); }
