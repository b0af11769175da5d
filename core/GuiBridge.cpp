#include "GuiBridge.h"

#include <wx/app.h>

#include <mutex>
#include <utility>

#include "GuiPrompts.h"

namespace guibridge {
namespace {

std::mutex gMutex;
Poster gPoster;
MessageSink gSink;

void defaultPost(Task task) {
    if (wxTheApp)
        wxTheApp->CallAfter(std::move(task));
}

}  // namespace

void post(Task task) {
    Poster poster;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        poster = gPoster;
    }
    if (poster)
        poster(std::move(task));
    else
        defaultPost(std::move(task));
}

wxString deepCopy(const wxString& s) {
    return wxString(s.wc_str(), s.length());
}

void messageBox(const wxString& text, const wxString& caption) {
    wxString t = deepCopy(text);
    wxString c = deepCopy(caption);
    post([t, c]() {
        MessageSink sink;
        {
            std::lock_guard<std::mutex> lock(gMutex);
            sink = gSink;
        }
        if (sink)
            sink(t, c);
        else
            prompts::message(t, c);
    });
}

void setPoster(Poster poster) {
    std::lock_guard<std::mutex> lock(gMutex);
    gPoster = std::move(poster);
}

void setMessageSink(MessageSink sink) {
    std::lock_guard<std::mutex> lock(gMutex);
    gSink = std::move(sink);
}

}  // namespace guibridge
