#include "SaveBrushDialog.h"

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>
#include <cstdlib>
#include <mutex>

#include "DialogKit.h"
#include "GradientDialog.h"
#include "GuiPrompts.h"
#include "Log.h"
#include "MetadataHandler.h"
#include "Requests.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"
#include "ofMath.h"

namespace {

int toInt(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }

std::vector<std::string> explode(const std::string& text) {
    std::vector<std::string> pieces;
    size_t from = 0;
    for (;;) {
        size_t at = text.find('|', from);
        pieces.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos)
            return pieces;
        from = at + 1;
    }
}

unsigned char channel(const std::string& text) { return static_cast<unsigned char>(toInt(text) & 0xff); }

void showSlider(wxSlider* slider, wxStaticText* label, int p, const wxString& text) {
    slider->SetValue(p);
    label->SetLabel(text);
}

int roundedSlider(int n, float lo, float hi) {
    return static_cast<int>(ofClamp(std::round(ofMap(static_cast<float>(n), 0, 100000, lo, hi)), lo, hi));
}

}  // namespace

SaveBrushDialog::SaveBrushDialog(wxWindow* parent, wxWindowID, const wxPoint&, const wxSize&)
    : wxDialog(parent, wxID_ANY, _("Brushes"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxSTAY_ON_TOP),
      gradientDialog(nullptr),
      frame(nullptr),
      baseApp(nullptr),
      gradientButtonId(0),
      colorButtonId(0),
      log(new Log("SaveBrushDialog.log", false)) {
    SetBackgroundColour(wxColour(104, 100, 96));
    wxBoxSizer* root = new wxBoxSizer(wxVERTICAL);
    list = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxSize(165, 330), wxVSCROLL);
    list->SetBackgroundColour(wxColour(84, 80, 76));
    listSizer = new wxBoxSizer(wxVERTICAL);
    list->SetSizer(listSizer);
    list->SetScrollRate(0, 5);
    root->Add(list, 0, wxALL, 4);
    useBrushColor = new wxCheckBox(this, wxID_ANY, _("Use Brush Color"));
    useBrushColor->SetForegroundColour(wxColour(240, 240, 240));
    useBrushColor->SetValue(true);
    root->Add(useBrushColor, 0, wxALL, 5);
    wxBoxSizer* capture = new wxBoxSizer(wxHORIZONTAL);
    newButton = new wxButton(this, wxID_ANY, _("New"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    capture->Add(newButton, 0, wxALIGN_CENTER_VERTICAL);
    nameText = new wxTextCtrl(this, wxID_ANY, _("BrushName"), wxDefaultPosition, wxSize(90, -1));
    nameText->Disable();
    capture->Add(nameText, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 4);
    okButton = new wxButton(this, wxID_ANY, _("OK"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    okButton->Disable();
    capture->Add(okButton, 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 2);
    root->Add(capture, 0, wxALL, 5);
    SetSizerAndFit(root);
    Move(1165, -2);

    newButton->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnButtonSaveClick, this);
    okButton->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnButtonOkNewBrushClick, this);
    Bind(wxEVT_INIT_DIALOG, &SaveBrushDialog::OnInit, this);
    Bind(wxEVT_CLOSE_WINDOW, &SaveBrushDialog::OnClose, this);

    LoadBrushes();
}

SaveBrushDialog::~SaveBrushDialog() { delete log; }

wxString SaveBrushDialog::brushFolder() { return dialogkit::workPath({"Brushes"}); }

wxString SaveBrushDialog::iconFolder() { return dialogkit::workPath({"Brushes", "Icons"}); }

void SaveBrushDialog::LoadBrushes() {
    listSizer->Clear(true);
    rows.clear();
    wxArrayString icons;
    if (wxDirExists(iconFolder()))
        wxDir::GetAllFiles(iconFolder(), &icons, "*.png", wxDIR_FILES);
    icons.Sort();
    for (const wxString& icon : icons) {
        const wxString name = wxFileName(icon).GetName();
        if (!wxFileName::FileExists(wxFileName(brushFolder(), name + ".png").GetFullPath()))
            continue;
        wxImage picture;
        {
            wxLogNull quiet;
            if (!picture.LoadFile(icon, wxBITMAP_TYPE_PNG))
                continue;
        }
        wxBoxSizer* row = new wxBoxSizer(wxHORIZONTAL);
        wxBitmapButton* button = new wxBitmapButton(list, wxID_ANY, wxBitmap(picture.Scale(64, 64)));
        row->Add(button, 0, wxALL, 2);
        wxStaticText* label = new wxStaticText(list, wxID_ANY, name);
        label->SetForegroundColour(wxColour(240, 240, 240));
        row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 4);
        listSizer->Add(row);
        button->Bind(wxEVT_BUTTON, &SaveBrushDialog::OnBitmapButtonListClick, this);
        rows.emplace_back(button->GetId(), icon);
    }
    listSizer->Layout();
    list->FitInside();
}

void SaveBrushDialog::OnInit(wxInitDialogEvent&) { LoadBrushes(); }

void SaveBrushDialog::OnClose(wxCloseEvent&) {
    if (frame)
        frame->bBrushesShown = false;
    int capturing = 2;
    f_newBrushPreset.compare_exchange_strong(capturing, 3);
    if (frame)
        frame->menuBrushes->Check(false);
    Show(false);
}

void SaveBrushDialog::OnButtonSaveClick(wxCommandEvent&) {
    if (f_newBrushPreset.load() == 0) {
        f_showBcg.store(false);
        f_newBrushPreset.store(1);
        requests::request(kWorkFillFront);
        nameText->Enable();
        okButton->Enable();
        return;
    }
    int capturing = 2;
    f_newBrushPreset.compare_exchange_strong(capturing, 3);
    nameText->Disable();
    okButton->Disable();
}

std::string SaveBrushDialog::BrushMetadata() {
    auto num = [](long v) { return std::to_string(v); };
    auto mapped = [](float v, float inLo, float inHi, float outLo, float outHi) {
        return std::to_string(static_cast<int>(ofMap(v, inLo, inHi, outLo, outHi)));
    };
    std::string text = "V|150|";
    if (f_perpixelz.load() == 0) {
        text += "C|" + num(paletteBasicRadd.load()) + "|" + num(paletteBasicGadd.load()) + "|" +
                num(paletteBasicBadd.load());
    } else {
        text += "G|" + num(f_perpixelzMode.load()) + "|" + num(static_cast<long>(f_perpixelzTimeVal.load())) + "|";
        std::lock_guard<std::mutex> lock(gPaletteMutex);
        for (int i = 0; i < 9; ++i)
            text += paletteSet[i * 400] == 1 ? "T|" : "F|";
        for (int i = 0; i < 9; ++i)
            text += num(paletteRadd[i * 400]) + "|" + num(paletteGadd[i * 400]) + "|" + num(paletteBadd[i * 400]) + "|";
        text += f_perpixelzTime.load() != 0 ? "T" : "F";
    }
    text += "|P|" + mapped(f_opacityz.load(), 1, 100, 1, 100);
    text += std::string("|S|") + (f_additive.load() ? "1" : "0") + "|BRU|";
    text += "A|" + num(f_modes.load()) + "|";
    text += "B|" + mapped(static_cast<float>(f_PartNum.load()), 1, 300, 1, 300) + "|";
    text += "C|" + mapped(f_NormLen.load(), 0, 2.5f, 0, 100000) + "|";
    text += "D|" + mapped(static_cast<float>(f_PartStep.load()), 1, 20, 1, 20) + "|";
    text += "E|" + mapped(f_velInf.load(), 1, 0.002f, 0, 100000) + "|";
    text += "F|" + mapped(f_slow1.load(), 0.1f, 0.97f, 0, 100000) + "|";
    text += "G|" + mapped(f_mass1.load(), 0, 250, 0, 100000) + "|";
    text += "H|" + mapped(f_mass2.load(), 0.001f, 4, 0, 100000) + "|";
    text += "I|" + mapped(f_DistZ.load(), 300, 0, 0, 100000) + "|";
    text += "J|" + mapped(f_randd.load(), 0, 100, 0, 100000) + "|";
    text += "K|" + mapped(static_cast<float>(f_paintDetail.load()), 1, 4, 1, 4) + "|";
    text += "L|" + num(static_cast<long>(f_fadez.load())) + "|";
    text += std::string("M|") + (f_fillz.load() ? "1" : "0") + "|";
    text += std::string("N|") + (f_spline.load() ? "1" : "0") + "|END";
    // The container holds 255 bytes; only out-of-range globals come near it.
    if (text.size() > metadata::kMaxComment)
        text.resize(metadata::kMaxComment);
    return text;
}

void SaveBrushDialog::OnButtonOkNewBrushClick(wxCommandEvent&) {
    const wxString name = nameText->GetValue();
    if (!dialogkit::isFileNameValid(name)) {
        prompts::message(_("Brush name can contain only following characters: \n 'a - z', 'A - Z', '0 - 9', ' ', "
                           "'-', '_'"),
                         _("Info"));
        return;
    }
    nameText->Disable();
    okButton->Disable();
    const std::string comment = BrushMetadata();
    const wxString picturePath = wxFileName(brushFolder(), name + ".png").GetFullPath();
    const wxString iconPath = wxFileName(iconFolder(), name + ".png").GetFullPath();
    bool save = true;
    if (wxFileName::Exists(picturePath)) {
        const int reply = prompts::question(_("File already exists. Do you want to overwrite it?"), _("Info"),
                                            wxYES_NO | wxNO_DEFAULT | wxICON_INFORMATION);
        if (reply == wxID_NO)
            return;
        if (reply != wxID_YES) {
            prompts::message(_("Unexpected wxMessageDialog return code!"),
                             _("Unexpected wxMessageDialog return code!"));
            save = false;
        }
    }
    if (save) {
        wxFileName::Mkdir(iconFolder(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        bool written = false;
        {
            std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
            written = brushColor.saveImage(std::string(picturePath.utf8_str())) &&
                      brushIconColor.saveImage(std::string(iconPath.utf8_str()));
        }
        for (const wxString& path : {picturePath, iconPath}) {
            if (written && !MetadataHandler(path).WriteCommentPng(comment.c_str()))
                written = false;
        }
        if (!written)
            prompts::message(_("Error writing data into brush file: ") + picturePath, _("Info"));
    }
    f_newBrushPreset.store(3);
    LoadBrushes();
}

void SaveBrushDialog::OnBitmapButtonListClick(wxCommandEvent& event) {
    for (const auto& row : rows) {
        if (row.first == event.GetId()) {
            ApplyPreset(row.second);
            return;
        }
    }
    prompts::message(_("Event Id could not be identified."), wxMessageBoxCaptionStr);
}

void SaveBrushDialog::ApplyPreset(const wxString& iconPath) {
    MetadataHandler reader(iconPath);
    if (!reader.CommentExistsPNG()) {
        prompts::message(_("Brush settings not found."), _("Brush settings"));
    } else if (!reader.ReadCommentPng()) {
        prompts::message(_("Error reading data from the brush file: ") + iconPath, wxMessageBoxCaptionStr);
        return;
    } else {
        const std::vector<std::string> pieces = explode(reader.comment);
        // A comment too short for its kind is refused like one of another version.
        const bool colour = pieces.size() > 11 && pieces[1] == "150" && pieces[2] == "C";
        const bool gradient = pieces.size() > 47 && pieces[1] == "150" && pieces[2] == "G";
        if (colour || gradient) {
            if (useBrushColor->GetValue())
                applyColourPart(pieces, gradient);
            ParseMetadataArray(pieces, gradient ? 46 : 11);
        }
    }
    if (gradientDialog)
        gradientDialog->PostPalette();
    newButton->SetFocus();
}

void SaveBrushDialog::applyColourPart(const std::vector<std::string>& pieces, bool gradient) {
    if (!gradient) {
        frame->bGradientMode = false;
        frame->colorButton->SetBackgroundColour(frame->highlightColor);
        frame->gradientButton->SetBackgroundColour(frame->normalColor);
        const wxColour c(channel(pieces[3]), channel(pieces[4]), channel(pieces[5]));
        frame->swatchColor = c;
        frame->colorSwatch->SetBitmapLabel(GradientDialog::GetOneColorBitmap(50, 37, c));
        paletteBasicRadd.store(c.Red());
        paletteBasicGadd.store(c.Green());
        paletteBasicBadd.store(c.Blue());
        requests::raise(f_setPalette);
        int hue = 0, sat = 0, lum = 0;
        toolwindow::sliderPositions(c.Red(), c.Green(), c.Blue(), hue, sat, lum);
        showSlider(frame->sliderColor, frame->labelColor, hue, wxString::Format("%i", hue));
        showSlider(frame->sliderSaturation, frame->labelSaturation, sat, wxString::Format("%i", sat));
        showSlider(frame->sliderLum, frame->labelLum, lum, wxString::Format("%i", lum));
        if (f_painterz.load()) {
            frame->sliderColor->Enable();
            frame->sliderSaturation->Enable();
            frame->sliderLum->Enable();
        }
        f_perpixelz.store(0);
        applyOpacityAndMode(pieces[7], pieces[9]);
        return;
    }
    frame->colorButton->SetBackgroundColour(frame->normalColor);
    frame->gradientButton->SetBackgroundColour(frame->highlightColor);
    const int mode = toInt(pieces[3]);
    f_perpixelzMode.store(mode);
    const float timeVal = static_cast<float>(toInt(pieces[4]));
    f_perpixelzTimeVal.store(timeVal);
    if (gradientDialog) {
        gradientDialog->SliderTime->SetValue(static_cast<int>(timeVal));
        gradientDialog->StaticTextTimeValue->SetLabel(wxString::FromUTF8(pieces[4].c_str()));
        gradientDialog->CheckBoxUseTime->SetValue(mode != 0);
        for (int i = 0; i < 9; ++i) {
            const bool on = pieces[5 + i] == "T";
            gradientDialog->checkBoxes[i]->SetValue(on);
            gradientDialog->checkBoxStateArray[i] = on;
            const wxColour c(channel(pieces[14 + 3 * i]), channel(pieces[15 + 3 * i]), channel(pieces[16 + 3 * i]));
            gradientDialog->gradientArray[i] = c;
            gradientDialog->swatches[i]->SetBitmapLabel(GradientDialog::GetOneColorBitmap(25, 25, c));
        }
        gradientDialog->preview->SetBitmap(gradientDialog->GradientBitmap(273, 30));
        gradientDialog->preview->Refresh();
    }
    f_perpixelzTime.store(mode != 0 ? timeVal : 0.0f);
    if (f_painterz.load()) {
        frame->sliderColor->Disable();
        frame->sliderSaturation->Disable();
        frame->sliderLum->Disable();
    }
    f_perpixelz.store(1);
    applyOpacityAndMode(pieces[43], pieces[45]);
    // The tool window switches itself to the gradient once this click is over.
    wxCommandEvent click(wxEVT_COMMAND_BUTTON_CLICKED, static_cast<int>(gradientButtonId));
    frame->GetEventHandler()->AddPendingEvent(click);
}

void SaveBrushDialog::applyOpacityAndMode(const std::string& opacity, const std::string& additive) {
    const float o = ofClamp(static_cast<float>(toInt(opacity)), 1, 100);
    f_opacityz.store(o);
    showSlider(frame->sliderOpacity, frame->labelOpacity, static_cast<int>(o),
               wxString::Format("%i", static_cast<int>(o)));
    const bool lighten = toInt(additive) == 1;
    f_additive.store(lighten);
    frame->lightenButton->SetBackgroundColour(lighten ? frame->highlightColor : frame->normalColor);
    frame->darkenButton->SetBackgroundColour(lighten ? frame->normalColor : frame->highlightColor);
    requests::raise(f_setPalette);
}

void SaveBrushDialog::ParseMetadataArray(const std::vector<std::string>& pieces, size_t start) {
    WyrleFrame& f = *frame;
    for (size_t i = start; i + 1 < pieces.size(); ++i) {
        const std::string& tag = pieces[i];
        if (tag.size() != 1 || tag[0] < 'A' || tag[0] > 'N')
            continue;
        const std::string& v = pieces[i + 1];
        const int n = toInt(v);
        switch (tag[0]) {
        case 'A': {
            f_modes.store(n);
            wxButton* styles[] = {f.wyrleButton, f.followButton, f.ribbonButton};
            for (int k = 0; k < 3; ++k)
                styles[k]->SetBackgroundColour(k == n ? f.highlightColor : f.normalColor);
            break;
        }
        case 'B':
            // The engine has 300 particle slots and draws at least two.
            f_PartNum.store(n < 2 ? 2 : (n > 300 ? 300 : n));
            showSlider(f.sliderSize, f.labelSize, f_PartNum.load(), wxString::Format("%i", f_PartNum.load()));
            break;
        case 'C': {
            const int p = roundedSlider(n, 0, 10);
            f_NormLen.store(ofMap(p, 0, 10, 0, 2.5f));
            showSlider(f.sliderWidth, f.labelWidth, p, wxString::Format("%i", p));
            break;
        }
        case 'D':
            f_PartStep.store(n < 1 ? 1 : (n > 20 ? 20 : n));
            showSlider(f.sliderStep, f.labelStep, f_PartStep.load(), wxString::Format("%i", f_PartStep.load()));
            break;
        case 'E': {
            const int p = roundedSlider(n, 1, 100);
            f_velInf.store(ofMap(p, 1, 100, 1, 0.002f));
            showSlider(f.sliderSoft, f.labelSoft, p, wxString::Format("%i", p));
            break;
        }
        case 'F': {
            const int p = roundedSlider(n, 1, 100);
            f_slow1.store(ofMap(p, 1, 100, 0.1f, 0.97f));
            showSlider(f.sliderSpeed, f.labelSpeed, p, wxString::Format("%i", p));
            break;
        }
        case 'G': {
            const int p = roundedSlider(n, 0, 100);
            f_mass1.store(ofMap(p, 0, 100, 0, 250));
            showSlider(f.sliderCenter, f.labelCenter, p, wxString::Format("%i", p));
            break;
        }
        case 'H': {
            const int p = roundedSlider(n, 0, 100);
            f_mass2.store(ofMap(p, 0, 100, 0.001f, 4));
            showSlider(f.sliderFocus, f.labelFocus, p, wxString::Format("%i", p));
            break;
        }
        case 'I': {
            const int p = roundedSlider(n, 0, 100);
            f_DistZ.store(ofMap(p, 0, 100, 300, 0));
            showSlider(f.sliderChaos, f.labelChaos, p, wxString::Format("%i", p));
            break;
        }
        case 'J': {
            const int p = roundedSlider(n, 0, 100);
            f_randd.store(ofMap(p, 0, 100, 0, 100));
            showSlider(f.sliderNoise, f.labelNoise, p, wxString::Format("%i", p));
            break;
        }
        case 'K': {
            const int d = static_cast<int>(ofClamp(static_cast<float>(static_cast<int>(ofMap(n, 1, 4, 1, 4))), 1, 4));
            f_paintDetail.store(d);
            showSlider(f.sliderDetail, f.labelDetail, d, wxString::Format("%i", d));
            break;
        }
        case 'L': {
            f_fadez.store(static_cast<float>(n));
            const int p = n == 0 ? 0 : static_cast<int>(ofClamp(ofMap(n, 1, 10, 10, 1), 1, 10));
            showSlider(f.sliderFade, f.labelFade, p, wxString::Format("%i", p));
            break;
        }
        case 'M': {
            const bool on = n != 0;
            f_fillz.store(on);
            f.fillButton->SetBackgroundColour(on ? f.highlightColor : f.normalColor);
            f.sliderStep->Enable(!on);
            f.sliderDetail->Enable(on);
            f.bFill = on;
            break;
        }
        case 'N': {
            const bool on = n != 0;
            f_spline.store(on);
            f.smoothButton->SetBackgroundColour(on ? f.highlightColor : f.normalColor);
            f.bSmooth = on;
            break;
        }
        default:
            break;
        }
    }
    requests::raise(f_setPalette);
    requests::raise(f_setStrings);
}
