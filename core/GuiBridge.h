#pragma once
// The one road from the render thread to the GUI thread. Every call posted
// here runs on the GUI thread, in the order it was posted. Message boxes the
// engine raises go through the same queue, so they keep their place in line.

#include <wx/string.h>

#include <functional>
#include <string>

namespace guibridge {

using Task = std::function<void()>;
using Poster = std::function<void(Task)>;
using MessageSink = std::function<void(const wxString& text, const wxString& caption)>;

// Runs `task` on the GUI thread (wxTheApp->CallAfter by default). Arguments
// must be captured by value; wxString copies must be deep (see deepCopy).
void post(Task task);

// Shows an OK-only, centred message box on the GUI thread.
void messageBox(const wxString& text, const wxString& caption);

// A wxString whose buffer shares nothing with `s`, safe to hand to another thread.
wxString deepCopy(const wxString& s);

// Test seams: replace the poster (null restores the default) and record
// message boxes instead of showing modal ones.
void setPoster(Poster poster);
void setMessageSink(MessageSink sink);

}  // namespace guibridge
