#pragma once
// Walks a shown window's tree under the test's X server and names every
// control that does not show all of its content under the running GTK
// theme, and every control that reaches out of its parent. It knows nothing
// of any one dialog, so it covers whatever rows a list holds when it runs.
//
// What "all of its content" means follows how GTK draws a control that gets
// less room than the theme asks for: a button's label may spread over its
// padding but not over its frame, and with no room left inside the padding
// GTK draws no label at all; a picture and a text field's text are cut at the
// padding; a label needs its text's extent, a check box and a slider their
// best size.

#include <wx/anybutton.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gtkwindow.h"

namespace wholecontent {

// The theme's frame (border) and the padding inside it, both sides together.
struct Frame {
    wxSize border, padding;
};

inline Frame frameOf(wxWindow* w) {
    const gtkwindow::Frame f = gtkwindow::frameOf(w->GetHandle());
    return Frame{wxSize(f.borderX, f.borderY), wxSize(f.paddingX, f.paddingY)};
}

inline std::string sizeText(const wxSize& s) { return std::to_string(s.x) + " x " + std::to_string(s.y); }

inline std::string describe(wxWindow* w) {
    std::string label = w->GetLabel().utf8_string();
    if (wxTextCtrl* field = dynamic_cast<wxTextCtrl*>(w))
        label = field->GetValue().utf8_string();
    return wxString(w->GetClassInfo()->GetClassName()).utf8_string() + " \"" + label + "\" (" +
           w->GetName().utf8_string() + ")";
}

// The room the control needs to show all it holds, wxDefaultSize when it
// holds nothing that could be cut (lines, panels).
inline wxSize neededSize(wxWindow* w) {
    if (dynamic_cast<wxStaticLine*>(w) || dynamic_cast<wxScrolledWindow*>(w))
        return wxDefaultSize;
    if (wxAnyButton* button = dynamic_cast<wxAnyButton*>(w)) {
        const Frame f = frameOf(w);
        const wxSize inside = f.border + f.padding;
        const wxBitmap picture = button->GetBitmapLabel();
        if (button->GetLabel().empty() && picture.IsOk())
            return picture.GetSize() + inside;
        wxSize need = button->GetTextExtent(button->GetLabel()) + f.border;
        need.IncTo(inside + wxSize(1, 1));
        return need;
    }
    if (wxTextCtrl* field = dynamic_cast<wxTextCtrl*>(w)) {
        const Frame f = frameOf(w);
        const wxSize text = field->GetTextExtent(field->GetValue().empty() ? wxString("W") : field->GetValue());
        // One more pixel across for the cursor after the last character.
        wxSize need(text.x + 1 + f.border.x + f.padding.x, text.y + f.border.y);
        need.IncTo(f.border + f.padding + wxSize(1, 1));
        return need;
    }
    if (wxStaticText* label = dynamic_cast<wxStaticText*>(w)) {
        wxClientDC dc(label);
        dc.SetFont(label->GetFont());
        return dc.GetMultiLineTextExtent(label->GetLabelText());
    }
    if (dynamic_cast<wxSlider*>(w)) {
        const gtkwindow::Size least = gtkwindow::minimumSize(w->GetHandle());
        return wxSize(least.width, least.height);
    }
    if (dynamic_cast<wxControl*>(w) || dynamic_cast<wxStaticBitmap*>(w)) {
        w->InvalidateBestSize();
        return w->GetBestSize();
    }
    return wxDefaultSize;
}

inline bool showing(wxWindow* w, wxWindow* top) {
    for (wxWindow* p = w; p; p = p->GetParent()) {
        if (!p->IsShown())
            return false;
        if (p == top)
            return true;
    }
    return false;
}

// The part of its parent a child may take: the client area, or the whole
// scrollable area of a scrolled list.
inline wxRect roomIn(wxWindow* parent) {
    if (wxScrolledWindow* list = dynamic_cast<wxScrolledWindow*>(parent))
        return wxRect(wxPoint(0, 0), list->GetVirtualSize());
    return wxRect(wxPoint(0, 0), parent->GetClientSize());
}

inline void walk(wxWindow* w, wxWindow* top, const std::vector<wxWindow*>& fills,
                 std::vector<std::string>& cuts) {
    for (wxWindow* child : w->GetChildren()) {
        if (child->IsTopLevel() || !showing(child, top))
            continue;
        const bool fill = std::find(fills.begin(), fills.end(), child) != fills.end();
        const wxSize need = fill ? wxDefaultSize : neededSize(child);
        const wxSize have = child->GetSize();
        if (need != wxDefaultSize && (have.x < need.x || have.y < need.y))
            cuts.push_back(describe(child) + " has " + sizeText(have) + " for " + sizeText(need));
        wxRect rect = child->GetRect();
        if (wxScrolledWindow* list = dynamic_cast<wxScrolledWindow*>(w))
            rect.Offset(list->CalcUnscrolledPosition(wxPoint(0, 0)));
        if (!rect.IsEmpty() && !roomIn(w).Contains(rect))
            cuts.push_back(describe(child) + " at " + std::to_string(rect.x) + ", " + std::to_string(rect.y) +
                           " reaches out of its parent's " + sizeText(roomIn(w).GetSize()));
        walk(child, top, fills, cuts);
    }
}

// Every control of the shown window `top` that does not show its whole
// content, one line each; empty when all do. `fills` are picture buttons
// whose picture is meant to fill them to the edge (and beyond): only their
// place is checked.
inline std::vector<std::string> cutControls(wxWindow* top, const std::vector<wxWindow*>& fills = {}) {
    std::vector<std::string> cuts;
    walk(top, top, fills, cuts);
    return cuts;
}

}  // namespace wholecontent
