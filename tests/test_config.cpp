#include "services/ConfigFile.h"
#include "tests/services_fixture.h"

#include <climits>
#include <map>
#include <sstream>

#include <sys/stat.h>

namespace {

using Map = std::map<std::string, std::string>;

Map parse(const std::string& text, const std::string& sentry = "EndConfigFile") {
    ConfigFile cf;
    cf.sentry = sentry;
    std::istringstream in(text);
    in >> cf;
    return cf.contents;
}

}  // namespace

TEST(ConfigFile, ReadsTableOfTexts) {
    struct Case {
        const char* name;
        std::string text;
        Map expected;
    };
    const Case cases[] = {
        {"prefs line", "UndoPercent = 30 #UndoPercent\n", {{"UndoPercent", "30"}}},
        {"duplicates", "a = 1\nb = 2\na = 3\n", {{"a", "3"}, {"b", "2"}}},
        {"no delimiter ignored", "just words\nk=v\n#only comment\n", {{"k", "v"}}},
        {"delimiter in value", "key = a=b\n", {{"key", "a=b"}}},
        {"empty key", "= x\n", {{"", "x"}}},
        {"empty value", "k =\n", {{"k", ""}}},
        {"comment cuts value", "key = a # b\n", {{"key", "a"}}},
        {"multi-line value",
         "text = first\n   second line\n\tthird\nnext = 1\n",
         {{"text", "first\n   second line\n\tthird"}, {"next", "1"}}},
        {"blank line ends value", "a = 1\n  \n  loose\nb = 2\n", {{"a", "1"}, {"b", "2"}}},
        {"comment-only line skipped", "a = x\n# note\n  y\n", {{"a", "x\n  y"}}},
        {"last continuation without line end", "a = x\n  y", {{"a", "x\n  y"}}},
        {"last line without line end", "a = 1\nb = 2", {{"a", "1"}, {"b", "2"}}},
        {"end marker stops", "a = 1\nEndConfigFile\nb = 2\n", {{"a", "1"}}},
        {"end marker first", "EndConfigFile\nUndoPercent = 50\n", {}},
        {"end marker in comment", "a = 1\n# EndConfigFile\nb = 2\n", {{"a", "1"}, {"b", "2"}}},
        {"end marker inside a line", "x = EndConfigFile here\nb = 2\n", {}},
        {"end marker ends a value", "a = x\n  y\n  EndConfigFile\nb = 2\n", {{"a", "x\n  y"}}},
        {"crlf", "a = 1\r\ntext = x\r\n  y\r\n\r\nb = 2\r\n", {{"a", "1"}, {"text", "x\n  y"}, {"b", "2"}}},
        {"case-sensitive keys", "Key = 1\nkey = 2\n", {{"Key", "1"}, {"key", "2"}}},
        {"empty", "", {}},
        {"binary junk", std::string("\0\xff=\x01\n\r\r\n=\n", 10), {{std::string("\0\xff", 2), "\x01"}, {"", ""}}},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.text), c.expected) << c.name;
}

TEST(ConfigFile, WithoutEndMarkerReadsEverything) {
    EXPECT_EQ(parse("a = 1\nEndConfigFile\nb = 2\n", ""), (Map{{"a", "1\nEndConfigFile"}, {"b", "2"}}));
}

TEST(ConfigFile, LongMarkers) {
    ConfigFile cf;
    cf.delimiter = "::";
    cf.comment = "//";
    cf.sentry = "STOP";
    std::istringstream in("a :: 1 // x\nb: 2\nc :: http://x\nSTOP\nd :: 4\n");
    in >> cf;
    EXPECT_EQ(cf.contents, (Map{{"a", "1 \nb: 2"}, {"c", "http:"}}));
}

TEST(ConfigFile, ReadIntoConvertsOrKeepsTarget) {
    ConfigFile cf;
    std::istringstream in("n = 30abc\nm = 30   and more\nneg = -5\nword = abc\nbig = 99999999999\nnone =\n");
    in >> cf;

    struct Case {
        const char* key;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"n", true, 30}, {"m", true, 30}, {"neg", true, -5},
        {"word", false, 7}, {"big", false, 7}, {"none", false, 7}, {"missing", false, 7},
    };
    for (const Case& c : cases) {
        int target = 7;
        EXPECT_EQ(cf.readInto(target, c.key), c.ok) << c.key;
        EXPECT_EQ(target, c.value) << c.key;
    }
    std::string s = "kept";
    EXPECT_TRUE(cf.readInto(s, "word"));
    EXPECT_EQ(s, "abc");
    EXPECT_FALSE(cf.readInto(s, "missing"));
    EXPECT_EQ(s, "abc");

    EXPECT_EQ(ConfigFile::string_as_T<int>("30abc"), 30);
    EXPECT_EQ(ConfigFile::string_as_T<int>(" 30 more"), 30);
    EXPECT_EQ(ConfigFile::string_as_T<std::string>(" x "), " x ");
}

TEST(ConfigFile, AddRemoveAndWrite) {
    ConfigFile cf;
    EXPECT_FALSE(cf.keyExists("UndoPercent"));
    cf.remove("UndoPercent");
    EXPECT_TRUE(cf.contents.empty());

    cf.add(std::string("  UndoPercent "), std::string(" 30\t"));
    EXPECT_TRUE(cf.keyExists("UndoPercent"));
    std::ostringstream out;
    out << cf;
    EXPECT_EQ(out.str(), "UndoPercent = 30\n");

    cf.add(std::string("A"), std::string("x"));
    out.str("");
    out << cf;
    EXPECT_EQ(out.str(), "A = x\nUndoPercent = 30\n");

    cf.remove("UndoPercent");
    EXPECT_FALSE(cf.keyExists("UndoPercent"));
    EXPECT_TRUE(cf.keyExists("A"));
}

TEST(ConfigFile, Trim) {
    const std::pair<std::string, std::string> cases[] = {
        {" \t\v\r\f\nab c\n\r ", "ab c"}, {" \t\n", ""}, {"", ""}, {"x", "x"},
    };
    for (const auto& c : cases) {
        std::string s = c.first;
        ConfigFile::trim(s);
        EXPECT_EQ(s, c.second);
    }
}

TEST(ConfigFile, FileConstructor) {
    svctest::TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string dos = tmp.path("dos.cfg");
    ASSERT_TRUE(svctest::writeFile(dos, "#Wyrle 1.0 configuration file\r\nUndoPercent = 30\r\n"));
    ConfigFile cf(dos, "=", "#", "EndConfigFile");
    EXPECT_EQ(cf.contents, (Map{{"UndoPercent", "30"}}));
    EXPECT_EQ(cf.delimiter, "=");
    EXPECT_EQ(cf.sentry, "EndConfigFile");

    // Missing, a folder, a FIFO: refused with the name (a FIFO must not block).
    const std::string fifo = tmp.path("fifo.cfg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& bad : {tmp.path("missing.cfg"), tmp.root(), fifo}) {
        try {
            ConfigFile f(bad, "=", "#", "EndConfigFile");
            ADD_FAILURE() << "no exception for " << bad;
        } catch (const ConfigFile::file_not_found& e) {
            EXPECT_EQ(e.filename, bad);
        }
    }
}
