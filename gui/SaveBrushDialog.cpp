#include "SaveBrushDialog.h"

#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <chrono>
#include <mutex>

#include "DialogKit.h"
#include "GradientDialog.h"
#include "GuiPrompts.h"
#include "LibraryFiles.h"
#include "LibraryPictures.h"
#include "Log.h"
#include "MetadataHandler.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"
#include "brush_library.h"

static_assert(brushpreset::kMaxCommentBytes == metadata::kMaxComment, "the preset comment fits the PNG comment");

const long SaveBrushDialog::ID_STATICLINE2 = wxNewId();
const long SaveBrushDialog::ID_STATICLINE1 = wxNewId();
const long SaveBrushDialog::ID_SCROLLEDWINDOW = wxNewId();
const long SaveBrushDialog::ID_STATICLINE3 = wxNewId();
const long SaveBrushDialog::ID_CHECKBOXUSEBRUSHCOLOR = wxNewId();
const long SaveBrushDialog::ID_BUTTONSAVE = wxNewId();
const long SaveBrushDialog::ID_TEXTCTRLNEWBRUSH = wxNewId();
const long SaveBrushDialog::ID_BUTTONOKNEWBRUSH = wxNewId();

namespace {

const wxColour kControlColour(240, 240, 240);

std::vector<std::string> pngFiles(const wxString& folder, bool& ok) {
    std::vector<std::string> names;
    ok = dialogkit::listLibrary(folder, names);
    return names;
}

wxString inFolder(const wxString& folder, const std::string& name) {
    return folder + "/" + wxString::FromUTF8(name);
}

void showSlider(wxSlider* slider, wxStaticText* label, int position, const wxString& text) {
    slider->SetValue(position);
    label->SetLabel(text);
}

void messageBox(const wxString& text, const wxString& caption = wxMessageBoxCaptionStr) {
    prompts::message(text, caption);
}

}  // namespace

SaveBrushDialog::SaveBrushDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : gradientDialog(nullptr),
      frame(nullptr),
      baseApp(nullptr),
      colorButtonId(0),
      gradientButtonId(0),
      log(nullptr),
      presets([] { return static_cast<int>(wxNewId()); }),
      reload(false) {
    Create(parent, wxID_ANY, _("Brushes"), wxDefaultPosition, wxDefaultSize,
           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxSTAY_ON_TOP, _T("wxID_ANY"));
    SetClientSize(wxSize(173, 500));
    Move(wxPoint(1165, -2));
    SetMinSize(wxSize(173, 500));
    SetMaxSize(wxSize(173, -1));
    SetBackgroundColour(wxColour(104, 100, 96));
    // The Part gives this window no Esc; on GTK it would act as a button.
    SetEscapeId(wxID_NONE);

    wxBoxSizer* main = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* listRow = new wxBoxSizer(wxHORIZONTAL);
    list = new LibraryRowsWindow(this, ID_SCROLLEDWINDOW, wxDefaultPosition, wxSize(165, 165),
                                 wxVSCROLL | wxTAB_TRAVERSAL | wxWANTS_CHARS, _T("ID_SCROLLEDWINDOW"));
    list->SetMinSize(wxSize(165, 165));
    list->SetBackgroundColour(wxColour(84, 80, 76));
    // GTK's padding would cut the 64 x 64 icons to about 45 pixels.
    dialogkit::compactButtonsIn(list);
    wxBoxSizer* area = new wxBoxSizer(wxHORIZONTAL);
    listSizer = new wxBoxSizer(wxVERTICAL);
    StaticLine2 = new wxStaticLine(list, ID_STATICLINE2, wxDefaultPosition, wxSize(165, 0), wxLI_HORIZONTAL,
                                   _T("ID_STATICLINE2"));
    listSizer->Add(StaticLine2, 0, wxALIGN_CENTER_HORIZONTAL, 5);
    area->Add(listSizer, 0, 0, 0);
    // Keeps the scrollable area at least 621 pixels high.
    StaticLine1 = new wxStaticLine(list, ID_STATICLINE1, wxDefaultPosition, wxSize(0, 621), wxLI_VERTICAL,
                                   _T("ID_STATICLINE1"));
    area->Add(StaticLine1, 0, wxALIGN_CENTER_VERTICAL, 5);
    list->SetSizer(area);
    listRow->Add(list, 0, 0, 5);
    main->Add(listRow, 0, wxALIGN_CENTER_HORIZONTAL, 5);

    StaticLine3 = new wxStaticLine(this, ID_STATICLINE3, wxDefaultPosition, wxSize(165, 1), wxLI_HORIZONTAL,
                                   _T("ID_STATICLINE3"));
    main->Add(StaticLine3, 0, wxBOTTOM | wxALIGN_CENTER_HORIZONTAL, 3);

    wxBoxSizer* capture = new wxBoxSizer(wxVERTICAL);
    useBrushColor = new wxCheckBox(this, ID_CHECKBOXUSEBRUSHCOLOR, _("Use Brush Color"), wxDefaultPosition,
                                   wxDefaultSize, 0, wxDefaultValidator, _T("ID_CHECKBOXUSEBRUSHCOLOR"));
    useBrushColor->SetValue(true);
    useBrushColor->SetForegroundColour(kControlColour);
    capture->Add(useBrushColor, 0, wxTOP | wxBOTTOM | wxLEFT, 5);
    wxBoxSizer* buttons = new wxBoxSizer(wxHORIZONTAL);
    // GTK draws no label on a button as small as the Windows layout's
    // 33 x 23 and 26 x 23: these take the least size that shows it. (The
    // list's 11 x 11 "X" buttons hold theirs without the theme's padding.)
    newButton = new wxButton(this, ID_BUTTONSAVE, _("New"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT,
                             wxDefaultValidator, _T("ID_BUTTONSAVE"));
    newButton->SetFocus();
    newButton->SetBackgroundColour(kControlColour);
    buttons->Add(newButton, 0, wxALIGN_CENTER_VERTICAL, 40);
    nameText = new wxTextCtrl(this, ID_TEXTCTRLNEWBRUSH, _("BrushName"), wxDefaultPosition, wxSize(90, -1), 0,
                              wxDefaultValidator, _T("ID_TEXTCTRLNEWBRUSH"));
    nameText->Disable();
    // 90 pixels would hold "BrushName" only without GTK's padding: the field
    // takes all the room the window's width leaves in the row.
    buttons->Add(nameText, 1, wxTOP | wxBOTTOM | wxLEFT | wxALIGN_CENTER_VERTICAL, 5);
    okButton = new wxButton(this, ID_BUTTONOKNEWBRUSH, _("OK"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT,
                            wxDefaultValidator, _T("ID_BUTTONOKNEWBRUSH"));
    okButton->SetBackgroundColour(kControlColour);
    okButton->Disable();
    buttons->Add(okButton, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 1);
    capture->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT, 4);
    main->Add(capture, 0, wxEXPAND | wxBOTTOM, 5);
    SetSizer(main);
    // The sizes above hold; the sizer only places the controls.
    SetClientSize(wxSize(173, 500));
    Layout();

    list->Bind(wxEVT_KEY_DOWN, &SaveBrushDialog::OnKeyDown, this);
    newButton->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnButtonSaveClick, this);
    okButton->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnButtonOkNewBrushClick, this);
    Bind(wxEVT_INIT_DIALOG, &SaveBrushDialog::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &SaveBrushDialog::OnClose, this);
    Bind(wxEVT_KEY_DOWN, &SaveBrushDialog::OnKeyDown, this);
    Bind(wxEVT_CHAR, &SaveBrushDialog::OnKeyDown, this);
    Bind(wxEVT_MOTION, &SaveBrushDialog::OnMouseMove, this);

    log = new Log("SaveBrushDialog.log", false);
    log->log("SaveBrushDialog.cpp");
    log->log("------------------");

    list->setRows(&presets, listSizer,
                  {[this](wxWindow* panel) { return makeRow(panel); },
                   [this](LibraryRow& row, int index) { fillRow(row, index); }});
    LoadBrushes();
    list->FitInside();
    list->SetScrollRate(0, 5);
    reload = true;
}

SaveBrushDialog::~SaveBrushDialog() {
    if (iconStepQueued && wxTheApp)
        wxTheApp->Unbind(wxEVT_IDLE, &SaveBrushDialog::onIdle, this);
    delete log;
}

wxString SaveBrushDialog::brushFolder() { return dialogkit::workPath({"Brushes"}); }

wxString SaveBrushDialog::iconFolder() { return dialogkit::workPath({"Brushes", "Icons"}); }

// --- Window and capture hand-shake ------------------------------------------

void SaveBrushDialog::OnKeyDown(wxKeyEvent&) {}

void SaveBrushDialog::OnMouseMove(wxMouseEvent&) {}

void SaveBrushDialog::OnInit(wxInitDialogEvent&) {
    if (!reload)
        return;
    relist();
    reload = false;
}

void SaveBrushDialog::OnClose(wxCloseEvent&) {
    if (frame)
        frame->bBrushesShown = false;
    int capturing = brushlibrary::kCapturing;
    f_newBrushPreset.compare_exchange_strong(capturing, brushlibrary::endCapture(capturing));
    if (frame)
        frame->menuBrushes->Check(false);
    Show(false);
    reload = true;
}

void SaveBrushDialog::OnButtonSaveClick(wxCommandEvent&) {
    const brushlibrary::NewPress press = brushlibrary::pressNew(f_newBrushPreset.load());
    if (press.start) {
        // The engine reads these in this order: the back layer, then the
        // capture, then the canvas fill.
        f_showBcg.store(false);
        f_newBrushPreset.store(press.state);
        requests::request(kWorkFillFront);
    } else {
        int capturing = brushlibrary::kCapturing;
        f_newBrushPreset.compare_exchange_strong(capturing, brushlibrary::endCapture(capturing));
    }
    nameText->Enable(press.enableFields);
    okButton->Enable(press.enableFields);
}

void SaveBrushDialog::relist() {
    // The line that stood above the rows until the first new listing.
    if (StaticLine2) {
        listSizer->Detach(StaticLine2);
        StaticLine2->Destroy();
        StaticLine2 = nullptr;
    }
    LoadBrushes();
    list->FitInside();
    list->SetScrollRate(5, 5);
}

// --- Listing and deletion ---------------------------------------------------

wxString SaveBrushDialog::iconPath(int row) const { return inFolder(iconFolder(), presets[row].name); }

wxBitmapButton* SaveBrushDialog::rowButton(int row) const { return list->pictureOf(row); }

wxButton* SaveBrushDialog::rowXButton(int row) const { return list->removeOf(row); }

int SaveBrushDialog::LoadBrushes() {
    bool ok = false;
    const std::vector<std::string> icons = pngFiles(iconFolder(), ok);
    if (!ok) {
        messageBox(_("Directory 'BrushesIcons' can not be opened."), _("Error..."));
        presets.assign({});
        list->update();
        return 0;
    }
    const std::vector<std::string> pictures = pngFiles(brushFolder(), ok);
    if (!ok) {
        messageBox(_("Directory 'Brushes' can not be opened."), _("Error..."));
        presets.assign({});
        list->update();
        return 0;
    }
    const brushlibrary::IconSync sync = brushlibrary::syncIcons(icons, pictures);
    pendingIcons.assign(sync.toBuild.begin(), sync.toBuild.end());
    for (const std::string& name : sync.toDelete) {
        const wxString path = inFolder(iconFolder(), name);
        if (!libraryfiles::removeEntry(path.utf8_string()))
            messageBox(_("Icon file ") + path + _(" could not be deleted."));
    }
    // Listed again only when icons went: those made later come row by row.
    presets.assign(sync.toDelete.empty() ? icons : pngFiles(iconFolder(), ok));
    list->update();
    if (!pendingIcons.empty())
        scheduleIconRebuild();
    return presets.size();
}

void SaveBrushDialog::scheduleIconRebuild() {
    if (iconStepQueued)
        return;
    iconStepQueued = true;
    // Idle time comes once the events waiting now are handled, so the
    // windows show first, and between two steps input has its turn.
    wxTheApp->Bind(wxEVT_IDLE, &SaveBrushDialog::onIdle, this);
    wxWakeUpIdle();
}

void SaveBrushDialog::onIdle(wxIdleEvent& event) {
    event.Skip();
    if (rebuildIconsStep())
        event.RequestMore();
}

bool SaveBrushDialog::rebuildIconsStep() {
    // A message box of a step runs idle time of its own: no second step
    // inside it, so its messages come one after the other.
    if (iconStepRunning)
        return true;
    iconStepRunning = true;
    // Each step takes about a frame's time, so input waits little.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(15);
    bool listedOne = false;
    while (!pendingIcons.empty()) {
        const std::string name = pendingIcons.front();
        pendingIcons.pop_front();
        // Saved or deleted meanwhile: nothing to make.
        const std::string folder = iconFolder().utf8_string();
        if (libraryfiles::listed(folder, name) != libraryfiles::Listed::No ||
            libraryfiles::listed(brushFolder().utf8_string(), name) != libraryfiles::Listed::Yes)
            continue;
        rebuildIcon(inFolder(brushFolder(), name), inFolder(iconFolder(), name));
        if (libraryfiles::listed(folder, name) == libraryfiles::Listed::Yes) {
            presets.insert(name);
            listedOne = true;
        }
        if (std::chrono::steady_clock::now() >= until)
            break;
    }
    if (listedOne)
        list->update();
    iconStepRunning = false;
    if (!pendingIcons.empty())
        return true;
    if (iconStepQueued) {
        wxTheApp->Unbind(wxEVT_IDLE, &SaveBrushDialog::onIdle, this);
        iconStepQueued = false;
    }
    return false;
}

void SaveBrushDialog::rebuildIcon(const wxString& presetPath, const wxString& iconPath) {
    wxImage picture;
    if (librarypictures::load(presetPath, picture))
        picture.Rescale(64, 64, wxIMAGE_QUALITY_HIGH);
    else
        messageBox(_("File") + presetPath + _(" could not be opened."), _("Error..."));
    // The icon is made beside its place and renamed into it: whatever stood
    // at its name (a pipe, a link) is replaced, not written through.
    const wxString made = librarypictures::writeBeside(picture, iconPath);
    if (made.empty())
        messageBox(_("Icon ") + iconPath + _(" could not been saved."));
    MetadataHandler preset(presetPath);
    if (preset.CommentExistsPNG()) {
        if (preset.ReadCommentPng())
            writeMetadata(made.empty() ? iconPath : made, preset.comment, iconPath);
        else
            messageBox(_("Error reading data from the brush file: ") + presetPath);
    }
    if (!made.empty() && !libraryfiles::replaceWith(made.utf8_string(), iconPath.utf8_string()))
        messageBox(_("Icon ") + iconPath + _(" could not been saved."));
}

namespace {

const wxSize kIcon(64, 64);

wxBitmap readIcon(const wxString& path) {
    wxImage icon;
    librarypictures::load(path, icon);
    return icon.IsOk() ? wxBitmap(icon) : dialogkit::solidBitmap(kIcon.x, kIcon.y, wxColour(84, 80, 76));
}

}  // namespace

LibraryRow SaveBrushDialog::makeRow(wxWindow* panel) {
    // The icon, and to its right the "X" at the top right of the name box
    // with the name below it; a separator line under the row.
    LibraryRow row;
    row.remove = new wxButton(panel, wxID_ANY, _("X"), wxDefaultPosition, wxSize(11, 11),
                              wxBU_EXACTFIT | wxTAB_TRAVERSAL, wxDefaultValidator, _T("ID_BUTTONLIST_DEFAULT"));
    row.remove->SetBackgroundColour(kControlColour);
    row.remove->SetFont(wxFont(5, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxEmptyString));
    row.name = new wxStaticText(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(70, -1), wxTAB_TRAVERSAL,
                                _T("ID_STATICTEXTLIST_"));
    row.name->SetFont(wxFont(7, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxEmptyString));
    row.name->SetForegroundColour(kControlColour);
    row.picture = new dialogkit::CompactButton<wxBitmapButton>(
        panel, wxID_ANY, dialogkit::solidBitmap(kIcon.x, kIcon.y, wxColour(84, 80, 76)), wxDefaultPosition, kIcon,
        wxBU_AUTODRAW | wxBORDER_STATIC | wxTAB_TRAVERSAL, wxDefaultValidator, _T("ID_BITMAPBUTTONLIST"));
    dialogkit::fitContent(row.picture);
    row.line = new wxStaticLine(panel, wxID_ANY, wxDefaultPosition, wxSize(148, 1), wxLI_HORIZONTAL | wxTAB_TRAVERSAL,
                                _T("ID_STATICLINEDEFAULT"));

    row.layout = layRow(row, RowLayout{5, 0, wxTOP | wxALIGN_RIGHT, 4, 15});

    row.picture->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnBitmapButtonListClick, this);
    row.remove->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnXButtonListClick, this);
    return row;
}

void SaveBrushDialog::fillRow(LibraryRow& row, int index) {
    row.picture->SetBitmapLabel(readIcon(iconPath(index)));
    row.name->SetLabel(wxString::FromUTF8(brushlibrary::presetName(presets[index].name)));
}

int SaveBrushDialog::foundRow(int row) {
    if (row < 0)
        messageBox(_("Event Id could not be identified."));
    return row;
}

void SaveBrushDialog::showPresetFile(const std::string& fileName, bool written) {
    if (!list->followFile(iconFolder().utf8_string(), fileName, written))
        messageBox(_("Directory 'BrushesIcons' can not be opened."), _("Error..."));  // as a listing says
}

void SaveBrushDialog::OnXButtonListClick(wxCommandEvent& event) {
    const int row = foundRow(presets.findDelete(event.GetId()));
    if (row < 0)
        return;
    const std::string file = presets[row].name;
    const wxString iconPath = this->iconPath(row);
    const wxString fullName = wxString::FromUTF8(file);
    const wxString name = wxString::FromUTF8(brushlibrary::presetName(fullName.utf8_string()));
    const int answer = prompts::question(_("Do you want to delete '") + name + _("' brush?"), _("Info"),
                                         wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION, this);
    if (answer == wxID_NO)
        return;
    if (answer != wxID_YES) {
        messageBox(_("Unexpected wxMessageDialog return code!"), _("Unexpected wxMessageDialog return code!"));
        return;
    }
    if (!libraryfiles::removeEntry(iconPath.utf8_string())) {
        messageBox(_("Brush file: ") + iconPath + _(" could not be deleted."));
        return;
    }
    if (!wxDirExists(brushFolder())) {
        messageBox(_("Directory can not be opened."), _("Error 01"));
        return;
    }
    const wxString picturePath = brushFolder() + "/" + fullName;
    if (!libraryfiles::removeEntry(picturePath.utf8_string())) {
        messageBox(_("Brush file: ") + picturePath + _(" could not be deleted."));
        return;
    }
    presets.remove(file);
    list->update();
    list->SetScrollRate(5, 5);
    newButton->SetFocus();
}

void SaveBrushDialog::writeMetadata(const wxString& path, const std::string& comment, const wxString& shownAs) {
    const wxString& named = shownAs.empty() ? path : shownAs;
    MetadataHandler handler(path);
    if (!handler.WriteCommentPng(comment.c_str()))
        messageBox(_("Error writing data into brush file: ") + named);
    if (!handler.ReadCommentPng())
        messageBox(_("Error reading data from the brush file: ") + named);
    else
        log->log(handler.comment);
}

// --- Saving a preset --------------------------------------------------------

brushpreset::BrushSettings SaveBrushDialog::currentSettings() {
    brushpreset::BrushSettings s;
    s.perpixelz = f_perpixelz.load();
    s.basicR = paletteBasicRadd.load();
    s.basicG = paletteBasicGadd.load();
    s.basicB = paletteBasicBadd.load();
    s.perpixelzMode = f_perpixelzMode.load();
    s.perpixelzTimeVal = f_perpixelzTimeVal.load();
    s.perpixelzTime = f_perpixelzTime.load();
    {
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int i = 0; i < brushpreset::kStops; ++i)
            s.stops[i] = {paletteSet[i * 400] == 1, paletteRadd[i * 400], paletteGadd[i * 400], paletteBadd[i * 400]};
    }
    s.opacityz = f_opacityz.load();
    s.additive = f_additive.load();
    s.modes = f_modes.load();
    s.partNum = f_PartNum.load();
    s.normLen = f_NormLen.load();
    s.partStep = f_PartStep.load();
    s.velInf = f_velInf.load();
    s.slow1 = f_slow1.load();
    s.mass1 = f_mass1.load();
    s.mass2 = f_mass2.load();
    s.distZ = f_DistZ.load();
    s.randd = f_randd.load();
    s.paintDetail = f_paintDetail.load();
    s.fadez = f_fadez.load();
    s.fillz = f_fillz.load();
    s.spline = f_spline.load();
    return s;
}

void SaveBrushDialog::OnButtonOkNewBrushClick(wxCommandEvent&) {
    const wxString refusal = dialogkit::nameRefusal(nameText->GetValue(), _("Brush"));
    if (!refusal.empty()) {
        prompts::message(refusal, _("Info"), this);
        return;
    }
    const wxString name = nameText->GetValue();
    const wxString picturePath = dialogkit::workPath({"Brushes", name + ".png"});
    nameText->Disable();
    okButton->Disable();
    const std::optional<std::string> comment = brushpreset::BuildBrushComment(currentSettings());
    if (!comment) {
        // Only values far outside their ranges get here; cut, the comment
        // could not be read back. The capture goes on.
        prompts::message(_("The brush settings could not be stored: a value is out of range."), _("Info"));
        nameText->Enable();
        okButton->Enable();
        return;
    }
    bool save = true;
    if (wxFileName::Exists(picturePath, wxFILE_EXISTS_ANY)) {
        log->log("FILE EXISTS");
        const int reply = prompts::askOverwrite(this);
        if (reply == wxID_NO)
            return;
        if (reply != wxID_YES) {
            prompts::message(_("Unexpected wxMessageDialog return code!"),
                             _("Unexpected wxMessageDialog return code!"));
            save = false;
        }
    } else {
        log->log("File doesnt exist yet");
    }
    if (save && !savePreset(picturePath, dialogkit::workPath({"Brushes", "Icons", name + ".png"}), *comment)) {
        // The sample is kept: another name or a fixed folder can still save it.
        nameText->Enable();
        okButton->Enable();
        return;
    }
    f_newBrushPreset.store(brushlibrary::kEndRequested);
    showPresetFile((name + ".png").utf8_string(), save);
}

bool SaveBrushDialog::savePreset(const wxString& picturePath, const wxString& iconPath, const std::string& comment) {
    // Copied under the lock, encoded after it: the engine grabs into these.
    MyOfImage sample, icon;
    sample.setUseTexture(false);
    icon.setUseTexture(false);
    {
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        sample.clone(brushColor);
        icon.clone(brushIconColor);
    }
    // Both files are made beside their places, each with its comment, and
    // only then put there together: a save that fails at any step leaves an
    // existing preset and its icon as they were, and no half preset.
    const std::string madePicture = libraryfiles::newFileBeside(picturePath.utf8_string());
    const std::string madeIcon = libraryfiles::newFileBeside(iconPath.utf8_string());
    wxString failed;
    if (madePicture.empty() || !sample.saveImage(madePicture))
        failed = picturePath;
    else if (madeIcon.empty() || !icon.saveImage(madeIcon))
        failed = iconPath;
    const std::pair<std::string, wxString> files[] = {{madePicture, picturePath}, {madeIcon, iconPath}};
    for (const auto& file : files) {
        if (!failed.empty())
            break;
        MetadataHandler handler(wxString::FromUTF8(file.first));
        if (!handler.WriteCommentPng(comment.c_str()) || !handler.ReadCommentPng() ||
            comment != handler.comment)
            failed = file.second;
    }
    if (failed.empty()) {
        if (libraryfiles::replaceBothWith(madePicture, picturePath.utf8_string(), madeIcon, iconPath.utf8_string()))
            return true;
        failed = picturePath;
    } else {
        libraryfiles::removeEntry(madePicture);
        libraryfiles::removeEntry(madeIcon);
    }
    prompts::message(_("Error writing data into brush file: ") + failed, wxMessageBoxCaptionStr);
    return false;
}

// --- Applying a preset ------------------------------------------------------

void SaveBrushDialog::OnBitmapButtonListClick(wxCommandEvent& event) {
    const int row = foundRow(presets.findPicture(event.GetId()));
    if (row < 0)
        return;
    const wxString iconPath = this->iconPath(row);
    MetadataHandler reader(iconPath);
    if (!reader.CommentExistsPNG()) {
        messageBox(_("Brush settings not found."), _("Brush settings"));
    } else if (!reader.ReadCommentPng()) {
        messageBox(_("Error reading data from the brush file: ") + iconPath);
        return;
    } else {
        log->log("Metadata exist in brush file.");
        log->log(reader.comment);
        const brushpreset::BrushPlan plan = brushpreset::ParseBrushComment(reader.comment, useBrushColor->GetValue());
        for (const std::string& text : plan.messages)
            messageBox(wxString::FromUTF8(text));
        applyPlan(plan);
    }
    // The gradient tool's stops go to the engine after every click.
    if (gradientDialog)
        gradientDialog->PostPalette();
    newButton->SetFocus();
}

void SaveBrushDialog::applyPlan(const brushpreset::BrushPlan& plan) {
    if (plan.kind == brushpreset::Kind::None || !frame)
        return;
    if (plan.colourPart) {
        if (plan.kind == brushpreset::Kind::Colour)
            applyColour(plan);
        else
            applyGradient(plan);
    }
    applyTags(plan.tags);
    if (plan.colourPart && plan.kind == brushpreset::Kind::Gradient) {
        // The tool window switches itself to the gradient once this click is over.
        wxCommandEvent click(wxEVT_COMMAND_BUTTON_CLICKED, static_cast<int>(gradientButtonId));
        frame->GetEventHandler()->AddPendingEvent(click);
    }
}

void SaveBrushDialog::applyColour(const brushpreset::BrushPlan& plan) {
    WyrleFrame& f = *frame;
    f.bGradientMode = false;
    f.colorButton->SetBackgroundColour(f.highlightColor);
    f.gradientButton->SetBackgroundColour(f.normalColor);
    const wxColour c(static_cast<unsigned char>(plan.r), static_cast<unsigned char>(plan.g),
                     static_cast<unsigned char>(plan.b));
    f.swatchColor = c;
    f.colorSwatch->SetBitmapLabel(dialogkit::solidBitmap(50, 37, c));
    paletteBasicRadd.store(plan.r);
    paletteBasicGadd.store(plan.g);
    paletteBasicBadd.store(plan.b);
    requests::raise(f_setPalette);
    int hue = 0, sat = 0, lum = 0;
    toolwindow::sliderPositions(plan.r, plan.g, plan.b, hue, sat, lum);
    showSlider(f.sliderColor, f.labelColor, hue, wxString::Format("%i", hue));
    showSlider(f.sliderSaturation, f.labelSaturation, sat, wxString::Format("%i", sat));
    showSlider(f.sliderLum, f.labelLum, lum, wxString::Format("%i", lum));
    if (f_painterz.load()) {
        f.sliderColor->Enable();
        f.sliderSaturation->Enable();
        f.sliderLum->Enable();
    }
    f_perpixelz.store(0);
    applyOpacityAndSwitch(plan);
}

void SaveBrushDialog::applyGradient(const brushpreset::BrushPlan& plan) {
    WyrleFrame& f = *frame;
    f.colorButton->SetBackgroundColour(f.normalColor);
    f.gradientButton->SetBackgroundColour(f.highlightColor);
    f_perpixelzMode.store(plan.timingMode);
    f_perpixelzTimeVal.store(plan.timingValue);
    f_perpixelzTime.store(plan.perpixelzTime);
    if (GradientDialog* g = gradientDialog) {
        g->SliderTime->SetValue(static_cast<int>(plan.timingValue));
        g->StaticTextTimeValue->SetLabel(wxString::FromUTF8(plan.timingLabel));
        g->CheckBoxUseTime->SetValue(plan.timingMode != 0);
        for (int i = 0; i < brushpreset::kStops; ++i)
            g->checkBoxes[i]->SetValue(plan.stops[i].on);
        for (int i = 0; i < brushpreset::kStops; ++i) {
            const brushpreset::Stop& stop = plan.stops[i];
            g->checkBoxStateArray[i] = stop.on;
            const wxColour c(static_cast<unsigned char>(stop.r), static_cast<unsigned char>(stop.g),
                             static_cast<unsigned char>(stop.b));
            g->gradientArray[i] = c;
            g->swatches[i]->SetBitmapLabel(GradientDialog::GetOneColorBitmap(25, 25, c));
        }
        g->preview->SetBitmap(g->GradientBitmap(305, 30));
        g->preview->Refresh(true);
    }
    if (f_painterz.load()) {
        f.sliderColor->Disable();
        f.sliderSaturation->Disable();
        f.sliderLum->Disable();
    }
    f_perpixelz.store(1);
    applyOpacityAndSwitch(plan);
}

void SaveBrushDialog::applyOpacityAndSwitch(const brushpreset::BrushPlan& plan) {
    WyrleFrame& f = *frame;
    f_opacityz.store(plan.opacity);
    const int o = static_cast<int>(plan.opacity);
    showSlider(f.sliderOpacity, f.labelOpacity, o, wxString::Format("%i", o));
    f_additive.store(plan.additive);
    f.lightenButton->SetBackgroundColour(plan.additive ? f.highlightColor : f.normalColor);
    f.darkenButton->SetBackgroundColour(plan.additive ? f.normalColor : f.highlightColor);
    requests::raise(f_setPalette);
}

void SaveBrushDialog::applyTags(const std::vector<brushpreset::TagStep>& tags) {
    WyrleFrame& f = *frame;
    for (const brushpreset::TagStep& t : tags) {
        const wxString label = wxString::FromUTF8(t.label);
        switch (t.tag) {
        case 'A': {
            const int mode = static_cast<int>(t.value);
            f_modes.store(mode);
            wxButton* styles[] = {f.wyrleButton, f.followButton, f.ribbonButton};
            for (int k = 0; k < 3; ++k)
                styles[k]->SetBackgroundColour(k == mode ? f.highlightColor : f.normalColor);
            break;
        }
        case 'B':
            f_PartNum.store(static_cast<int>(t.value));
            showSlider(f.sliderSize, f.labelSize, t.slider, label);
            break;
        case 'C':
            f_NormLen.store(t.value);
            showSlider(f.sliderWidth, f.labelWidth, t.slider, label);
            break;
        case 'D':
            f_PartStep.store(static_cast<int>(t.value));
            showSlider(f.sliderStep, f.labelStep, t.slider, label);
            break;
        case 'E':
            f_velInf.store(t.value);
            showSlider(f.sliderSoft, f.labelSoft, t.slider, label);
            break;
        case 'F':
            f_slow1.store(t.value);
            showSlider(f.sliderSpeed, f.labelSpeed, t.slider, label);
            break;
        case 'G':
            f_mass1.store(t.value);
            showSlider(f.sliderCenter, f.labelCenter, t.slider, label);
            break;
        case 'H':
            f_mass2.store(t.value);
            showSlider(f.sliderFocus, f.labelFocus, t.slider, label);
            break;
        case 'I':
            f_DistZ.store(t.value);
            showSlider(f.sliderChaos, f.labelChaos, t.slider, label);
            break;
        case 'J':
            f_randd.store(t.value);
            showSlider(f.sliderNoise, f.labelNoise, t.slider, label);
            break;
        case 'K':
            f_paintDetail.store(static_cast<int>(t.value));
            showSlider(f.sliderDetail, f.labelDetail, t.slider, label);
            break;
        case 'L':
            f_fadez.store(t.value);
            showSlider(f.sliderFade, f.labelFade, t.slider, label);
            break;
        case 'M': {
            const bool on = t.value != 0;
            f_fillz.store(on);
            f.fillButton->SetBackgroundColour(on ? f.highlightColor : f.normalColor);
            f.sliderStep->Enable(!on);
            f.sliderDetail->Enable(on);
            f.bFill = on;
            break;
        }
        default: {  // 'N'
            const bool on = t.value != 0;
            f_spline.store(on);
            f.smoothButton->SetBackgroundColour(on ? f.highlightColor : f.normalColor);
            f.bSmooth = on;
            break;
        }
        }
    }
    requests::raise(f_setPalette);
    requests::raise(f_setStrings);
}
