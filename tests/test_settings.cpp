#include "core/GuiBridge.h"
#include "services/SettingsHandler.h"
#include "tests/services_fixture.h"

#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kDefault[] = "#Wyrle 1.0 configuration file\nUndoPercent = 30\n";
const char kNoDefault[] = "Default configuration file could not be created.";
const char kNotSaved[] = "Setting could not be saved.";

// Runs in a fresh temp folder with message boxes recorded, not shown.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.ok());
        cwd.reset(new svctest::ScopedCwd(tmp.root()));
        ASSERT_TRUE(cwd->ok());
        guibridge::setPoster([](guibridge::Task task) { task(); });
        guibridge::setMessageSink([this](const wxString& text, const wxString& caption) {
            messages.push_back(std::string(text.utf8_str()) + "|" + std::string(caption.utf8_str()));
        });
    }
    void TearDown() override {
        guibridge::setMessageSink(nullptr);
        guibridge::setPoster(nullptr);
        cwd.reset();
    }

    static std::string box(const char* text) { return std::string(text) + "|Info"; }
    static std::string prefs() { return svctest::readFile("prefs.cfg"); }

    svctest::TempDir tmp;
    std::unique_ptr<svctest::ScopedCwd> cwd;
    std::vector<std::string> messages;
};

}  // namespace

TEST_F(Settings, MissingFileGetsDefaultAndLoadsThirty) {
    SettingsHandler h;
    h.undoPercent = 7;
    h.Load();
    EXPECT_EQ(prefs(), kDefault);
    EXPECT_EQ(h.undoPercent, 30);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Settings, SaveWritesOneLineThatLoadReads) {
    SettingsHandler dialog;
    dialog.undoPercent = 45;
    dialog.Save();  // no file yet: default first, then replaced
    EXPECT_EQ(prefs(), "UndoPercent = 45 #UndoPercent\n");

    SettingsHandler engine;
    engine.Load();
    EXPECT_EQ(engine.undoPercent, 45);

    dialog.undoPercent = -3;
    dialog.Save();
    EXPECT_EQ(prefs(), "UndoPercent = -3 #UndoPercent\n");
    EXPECT_TRUE(messages.empty());
}

TEST_F(Settings, LoadTableOfFiles) {
    struct Case {
        const char* name;
        const char* text;
        int expected;  // starting from 7
    };
    const Case cases[] = {
        {"default", kDefault, 30},
        {"end marker first", "EndConfigFile\nUndoPercent = 50\n", 7},
        {"end marker after", "UndoPercent = 50\nEndConfigFile\nUndoPercent = 60\n", 50},
        {"out of range kept as is", "UndoPercent = 95\n", 95},
        {"low", "UndoPercent = 5\n", 5},
        {"not a number", "UndoPercent = abc\n", 7},
        {"too large for int", "UndoPercent = 123456789012\n", 7},
        {"number then text", "UndoPercent = 40%\n", 40},
        {"crlf", "#c\r\nUndoPercent = 45\r\n", 45},
        {"key missing", "undopercent = 45\n", 7},
        {"empty", "", 7},
        {"later wins", "UndoPercent = 20\nUndoPercent = 80 # hand edit\n", 80},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(svctest::writeFile("prefs.cfg", c.text));
        SettingsHandler h;
        h.undoPercent = 7;
        h.Load();
        EXPECT_EQ(h.undoPercent, c.expected) << c.name;
        EXPECT_EQ(prefs(), c.text) << c.name << ": Load must not rewrite an existing file";
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(Settings, FolderNamedPrefs) {
    ASSERT_EQ(mkdir("prefs.cfg", 0755), 0);
    SettingsHandler h;
    EXPECT_TRUE(h.FileExists("prefs.cfg"));
    h.undoPercent = 7;
    h.Load();
    EXPECT_EQ(h.undoPercent, 7);
    EXPECT_TRUE(messages.empty());

    h.Save();
    EXPECT_EQ(messages, std::vector<std::string>{box(kNotSaved)});
    struct stat st;
    ASSERT_EQ(stat("prefs.cfg", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(Settings, FileExists) {
    SettingsHandler h;
    EXPECT_FALSE(h.FileExists("nothing"));
    EXPECT_FALSE(h.FileExists(nullptr));
    ASSERT_TRUE(svctest::writeFile("f", "x"));
    EXPECT_TRUE(h.FileExists("f"));
    EXPECT_TRUE(h.FileExists("."));
}

TEST_F(Settings, SaveKeepsModeAndLeavesNoTempFiles) {
    ASSERT_TRUE(svctest::writeFile("prefs.cfg", kDefault));
    ASSERT_EQ(chmod("prefs.cfg", 0640), 0);
    SettingsHandler h;
    h.undoPercent = 55;
    h.Save();
    struct stat st;
    ASSERT_EQ(stat("prefs.cfg", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(prefs(), "UndoPercent = 55 #UndoPercent\n");

    EXPECT_EQ(svctest::listDir("."), std::vector<std::string>{"prefs.cfg"});
}

TEST_F(Settings, UnwritableFolder) {
    svctest::asUnprivileged(tmp.root(), [&] {
        ASSERT_EQ(chmod(".", 0555), 0);
        SettingsHandler h;
        h.undoPercent = 7;
        h.Load();
        EXPECT_EQ(h.undoPercent, 7);
        EXPECT_EQ(messages, std::vector<std::string>{box(kNoDefault)});

        messages.clear();
        h.Save();
        EXPECT_EQ(messages, (std::vector<std::string>{box(kNoDefault), box(kNotSaved)}));
        EXPECT_FALSE(svctest::exists("prefs.cfg"));
        ASSERT_EQ(chmod(".", 0755), 0);
    });
}

TEST_F(Settings, ReadOnlyPrefsIsNotReplaced) {
    svctest::asUnprivileged(tmp.root(), [&] {
        ASSERT_TRUE(svctest::writeFile("prefs.cfg", kDefault));
        ASSERT_EQ(chmod("prefs.cfg", 0444), 0);
        SettingsHandler h;
        h.undoPercent = 60;
        h.Save();
        EXPECT_EQ(messages, std::vector<std::string>{box(kNotSaved)});
        EXPECT_EQ(prefs(), kDefault);
    });
}

TEST_F(Settings, WritableFileInReadOnlyFolderIsRewrittenInPlace) {
    svctest::asUnprivileged(tmp.root(), [&] {
        ASSERT_TRUE(svctest::writeFile("prefs.cfg", kDefault));
        ASSERT_EQ(chmod(".", 0555), 0);
        SettingsHandler h;
        h.undoPercent = 60;
        h.Save();
        ASSERT_EQ(chmod(".", 0755), 0);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(prefs(), "UndoPercent = 60 #UndoPercent\n");
    });
}
