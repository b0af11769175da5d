// The gradient and brush libraries at 10, 100, 1000 and 5000 files: listing,
// saving one and deleting one, in the real windows (built, never shown) on
// the X server that DISPLAY names; without one these benchmarks are skipped.
// Each library lives in a scratch folder of its own that the benchmark works
// in. One iteration is one operation.
//
//   BM_GradientListing/N        the Gradient Tool built over N gradient
//                               files, its listing and rows with it (as at
//                               start-up)
//   BM_BrushListing/N           the Brushes window shown after its close
//                               box: N presets with their icons listed again
//   BM_Save<Gradients>/N        "OK" beside the name field: a new gradient
//                               written and its row put in place in the
//                               middle of the list (its deletion untimed)
//   BM_Save<Brushes>/N          the same for a preset and its icon
//   BM_Delete<Gradients>/N      "X" and Yes on that row (its save untimed)
//   BM_Delete<Brushes>/N        the same for a preset
//   BM_ListEntries/N            the list's model alone: a new listing of N
//                               names that keeps every entry, then one insert
//                               and one remove in the middle

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/textctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GradientDialog.h"
#include "GuiPrompts.h"
#include "LibraryFiles.h"
#include "MetadataHandler.h"
#include "SaveBrushDialog.h"
#include "WyrleGlobals.h"
#include "WyrleMain.h"
#include "library_list.h"
#include "wx_start.h"

namespace {

bool startWx() {
    return wxstart::start([] {
        prompts::setQuestion([](const wxString&, const wxString&, long, wxWindow*) { return static_cast<int>(wxID_YES); });
        prompts::setMessage([](const wxString& text, const wxString& caption, wxWindow*) {
            std::fprintf(stderr, "unexpected message: %s: %s\n", static_cast<const char*>(caption.utf8_str()),
                         static_cast<const char*>(text.utf8_str()));
        });
    });
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One scratch folder per size, with N gradients and N presets with icons,
// removed when the benchmark ends.
class Libraries {
public:
    ~Libraries() {
        if (!root_.empty())
            nftw(root_.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return std::remove(p); }, 16,
                 FTW_DEPTH | FTW_PHYS);
    }
    // Makes the folder for n files where missing and works in it; false
    // when that fails.
    bool enter(int n) {
        if (root_.empty()) {
            char pattern[] = "/tmp/wyrle-bench-XXXXXX";
            if (char* made = mkdtemp(pattern))
                root_ = made;
        }
        const std::string dir = root_ + "/" + std::to_string(n);
        if (!made_[n]) {
            made_[n] = true;
            if (root_.empty() || mkdir(dir.c_str(), 0755) != 0 || !libraryfiles::ensureLibraryFolders(dir))
                return false;
            const std::string gradient = sample(dir + "/Gradients/sample.png", 160, 22, "V|150|G|1|3|T|F|F|F|T|F|F|F|T|"
                "213|25|32|222|132|21|222|197|26|47|194|57|4|167|225|13|95|216|121|56|170|212|0|126|213|25|32|T|");
            const char* preset = "V|150|C|255|128|0|P|100|S|1|BRU|A|1|B|300|C|100000|D|1|E|0|F|100000|G|0|H|100000|"
                                 "I|100000|J|0|K|4|L|10|M|1|N|0|END";
            const std::string picture = sample(dir + "/Brushes/sample.png", 256, 256, preset);
            const std::string icon = sample(dir + "/Brushes/Icons/sample.png", 64, 64, preset);
            for (int i = 0; i < n; ++i) {
                const std::string file = name(i) + ".png";
                writeAll(dir + "/Gradients/" + file, gradient);
                writeAll(dir + "/Brushes/" + file, picture);
                writeAll(dir + "/Brushes/Icons/" + file, icon);
            }
        }
        return chdir(dir.c_str()) == 0;
    }
    static std::string name(int i) {
        char text[32];
        std::snprintf(text, sizeof text, "entry %05d", i);
        return text;
    }

private:
    // A picture with a comment, its bytes; the file itself goes again.
    static std::string sample(const std::string& path, int w, int h, const char* comment) {
        wxImage image(w, h);
        for (int x = 0; x < w; ++x)
            for (int y = 0; y < h; ++y)
                image.SetRGB(x, y, static_cast<unsigned char>(x), static_cast<unsigned char>(y), 128);
        image.SaveFile(path, wxBITMAP_TYPE_PNG);
        MetadataHandler(wxString::FromUTF8(path)).WriteCommentPng(comment);
        const std::string bytes = readAll(path);
        std::remove(path.c_str());
        return bytes;
    }

    std::string root_;
    std::map<int, bool> made_;
};

Libraries& libraries() {
    static Libraries all;
    return all;
}

void click(wxWindow* button) {
    wxCommandEvent ev(wxEVT_COMMAND_BUTTON_CLICKED, button->GetId());
    ev.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(ev);
}

void destroy(wxWindow* window) {
    window->Destroy();
    wxTheApp->ProcessIdle();
}

bool ready(benchmark::State& state) {
    if (!startWx()) {
        state.SkipWithError("no X display");
        return false;
    }
    if (!libraries().enter(static_cast<int>(state.range(0)))) {
        state.SkipWithError("no scratch folder");
        return false;
    }
    return true;
}

void BM_GradientListing(benchmark::State& state) {
    if (!ready(state))
        return;
    for (auto _ : state) {
        GradientDialog* d = new GradientDialog(nullptr);
        benchmark::DoNotOptimize(d->rowCount());
        state.PauseTiming();
        destroy(d);
        state.ResumeTiming();
    }
}

// The new name sorts into the middle of the list.
std::string middleName(benchmark::State& state) { return Libraries::name(static_cast<int>(state.range(0)) / 2) + "b"; }

SaveBrushDialog* brushLibrary() {
    {
        std::lock_guard<std::mutex> lock(gBrushPreviewMutex);
        brushColor.setUseTexture(false);
        brushIconColor.setUseTexture(false);
        brushColor.allocate(256, 256, OF_IMAGE_COLOR);
        brushIconColor.allocate(64, 64, OF_IMAGE_COLOR);
    }
    return new SaveBrushDialog(nullptr);
}

void BM_BrushListing(benchmark::State& state) {
    if (!ready(state))
        return;
    SaveBrushDialog* b = brushLibrary();
    for (auto _ : state) {
        // What showing the window after its close box does.
        b->reload = true;
        wxInitDialogEvent init(b->GetId());
        b->GetEventHandler()->ProcessEvent(init);
        benchmark::DoNotOptimize(b->rowCount());
    }
    destroy(b);
}

// "X" on the named row and Yes; false when it is not listed.
template <class Window>
bool removeRow(Window* window, const librarylist::Entries& entries, const std::string& name) {
    const int row = entries.find(name + ".png");
    if (row < 0)
        return false;
    wxCommandEvent x(wxEVT_COMMAND_BUTTON_CLICKED, entries[row].deleteId);
    window->OnXButtonListClick(x);
    return true;
}

// "OK" with a name and "X" on that row, in each library.
struct Gradients {
    using Window = GradientDialog;
    static Window* make() { return new GradientDialog(nullptr); }
    static void save(Window* d, const std::string& name) {
        d->TextCtrlNewGradient->SetValue(wxString::FromUTF8(name));
        click(d->ButtonOkNewGradient);
    }
    static bool remove(Window* d, const std::string& name) { return removeRow(d, d->gradients, name); }
};

struct Brushes {
    using Window = SaveBrushDialog;
    static Window* make() { return brushLibrary(); }
    static void save(Window* b, const std::string& name) {
        b->nameText->SetValue(wxString::FromUTF8(name));
        click(b->okButton);
    }
    static bool remove(Window* b, const std::string& name) { return removeRow(b, b->presets, name); }
};

// Saves and deletes one, timing the one or the other.
template <class Library>
void saveAndDelete(benchmark::State& state, bool timeSave) {
    if (!ready(state))
        return;
    typename Library::Window* window = Library::make();
    const std::string name = middleName(state);
    for (auto _ : state) {
        if (!timeSave)
            state.PauseTiming();
        Library::save(window, name);
        if (timeSave)
            state.PauseTiming();
        else
            state.ResumeTiming();
        if (!Library::remove(window, name))
            state.SkipWithError("the saved one is not listed");
        if (timeSave)
            state.ResumeTiming();
    }
    destroy(window);
}

template <class Library>
void BM_Save(benchmark::State& state) {
    saveAndDelete<Library>(state, true);
}

template <class Library>
void BM_Delete(benchmark::State& state) {
    saveAndDelete<Library>(state, false);
}

void BM_ListEntries(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i)
        names.push_back(Libraries::name(i) + ".png");
    int next = 1;
    librarylist::Entries entries([&next] { return next++; });
    entries.assign(names);
    const std::string middle = Libraries::name(n / 2) + "b.png";
    for (auto _ : state) {
        entries.assign(names);
        entries.insert(middle);
        entries.remove(middle);
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    for (int n : {10, 100, 1000, 5000})
        b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_GradientListing)->Apply(sizes);
BENCHMARK(BM_BrushListing)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Save, Gradients)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Save, Brushes)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Delete, Gradients)->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Delete, Brushes)->Apply(sizes);
BENCHMARK(BM_ListEntries)->Apply(sizes);

}  // namespace
