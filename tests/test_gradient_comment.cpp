// The gradient file's comment, written and read back, against the fixture
// comments in data/gradient-comments (good/ read and written back the same,
// bad/ ignored), and the save decisions of the gradient library.

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gui/model/GradientComment.h"
#include "tests/fuzz/targets.h"

using gradient::Rgb;
using gradient::Stops;
using gradientfile::Answer;

namespace {

const std::string kDefaultComment =
    "V|150|G|1|3|T|F|F|F|T|F|F|F|T|213|25|32|222|132|21|222|197|26|47|194|57|4|167|225|13|95|216|121|56|170|212|0|"
    "126|213|25|32|T|";

std::vector<std::string> fixtures(const std::string& kind) {
    std::vector<std::string> paths;
    const std::string folder = std::string(WYRLE_TEST_DATA) + "/gradient-comments/" + kind;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                paths.push_back(folder + "/" + entry->d_name);
        }
        closedir(dir);
    }
    return paths;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Stops numbered() {
    Stops s = gradient::defaultStops();
    for (int i = 0; i < 9; ++i)
        s.colour[i] = Rgb{i * 30, 255 - i, i};
    return s;
}

void expectSame(const Stops& a, const Stops& b, const std::string& what) {
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(a.on[i], b.on[i]) << what << " stop " << i;
        EXPECT_EQ(a.colour[i], b.colour[i]) << what << " stop " << i;
    }
}

}  // namespace

TEST(GradientComment, ExplodeKeepsEveryPiece) {
    struct {
        std::string text, delim;
        std::vector<std::string> pieces;
    } cases[] = {
        {"a||b|", "|", {"a", "", "b", ""}},
        {"x", "|", {"x"}},
        {"", "|", {""}},
        {"|a", "|", {"", "a"}},
        {"a--b--", "--", {"a", "b", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gradientfile::explode(c.text, c.delim), c.pieces) << c.text;
}

TEST(GradientComment, DefaultGradientWritesTheKnownText) {
    const std::string text = gradientfile::BuildGradientComment(gradient::defaultStops(), true, 3.0f);
    EXPECT_EQ(text, kDefaultComment);
    EXPECT_EQ(text.size(), 125u);
    const std::vector<std::string> pieces = gradientfile::explode(text, "|");
    ASSERT_EQ(pieces.size(), 43u);
    EXPECT_EQ(pieces[42], "");
}

TEST(GradientComment, TimingOffKeepsTheValue) {
    const std::vector<std::string> pieces =
        gradientfile::explode(gradientfile::BuildGradientComment(gradient::defaultStops(), false, 7.9f), "|");
    ASSERT_EQ(pieces.size(), 43u);
    EXPECT_EQ(pieces[3], "0");
    EXPECT_EQ(pieces[4], "7");
    EXPECT_EQ(pieces[41], "F");
}

TEST(GradientComment, TimingValueStaysInItsRange) {
    struct {
        float value;
        const char* piece;
    } cases[] = {{1.0f, "1"}, {10.0f, "10"}, {9.99f, "9"}, {2147483648.0f, "10"}, {-5.0f, "1"}, {0.0f / 0.0f, "1"}};
    for (const auto& c : cases) {
        const std::vector<std::string> pieces =
            gradientfile::explode(gradientfile::BuildGradientComment(gradient::defaultStops(), true, c.value), "|");
        EXPECT_EQ(pieces[4], c.piece) << c.value;
    }
}

TEST(GradientComment, RoundTripKeepsEveryStop) {
    struct {
        const char* name;
        std::vector<int> on;
    } cases[] = {{"all on", {0, 1, 2, 3, 4, 5, 6, 7, 8}}, {"one", {6}}, {"none", {}}, {"ends", {0, 8}}};
    for (const auto& c : cases) {
        Stops s = numbered();
        for (bool& on : s.on)
            on = false;
        for (int i : c.on)
            s.on[i] = true;
        for (bool timing : {true, false}) {
            const std::string text = gradientfile::BuildGradientComment(s, timing, 5.0f);
            EXPECT_GE(text.size(), 86u);
            EXPECT_LE(text.size(), 141u);
            const std::optional<Stops> back = gradientfile::ParseGradientComment(text);
            ASSERT_TRUE(back.has_value()) << c.name;
            expectSame(*back, s, c.name);  // an off stop keeps its colour too
        }
    }
}

TEST(GradientComment, GoodFixturesReadAndWriteBackTheSame) {
    const std::vector<std::string> paths = fixtures("good");
    ASSERT_GE(paths.size(), 3u);
    for (const std::string& path : paths) {
        const std::string text = readFile(path);
        const std::optional<Stops> stops = gradientfile::ParseGradientComment(text);
        ASSERT_TRUE(stops.has_value()) << path;
        const std::vector<std::string> pieces = gradientfile::explode(text, "|");
        EXPECT_EQ(gradientfile::BuildGradientComment(*stops, pieces[3] == "1", std::stof(pieces[4])), text) << path;
    }
}

TEST(GradientComment, BadFixturesAreIgnored) {
    const std::vector<std::string> paths = fixtures("bad");
    ASSERT_GE(paths.size(), 6u);
    for (const std::string& path : paths)
        EXPECT_FALSE(gradientfile::ParseGradientComment(readFile(path)).has_value()) << path;
}

TEST(GradientComment, FlagsAndColoursReadAsTheFileSays) {
    // Stop 0's flag and colour pieces replaced in the default comment.
    struct {
        const char* flag;
        const char* red;
        bool on;
        int r;
    } cases[] = {
        {"T", "12", true, 12},       {"t", " 12", false, 12},   {"TRUE", "12ab", false, 12},
        {"", "+7", false, 7},        {"F", "256", false, 0},    {"T", "300", true, 44},
        {"T", "-1", true, 255},      {"T", "abc", true, 0},     {"T", "", true, 0},
        {"T", "99999999999999999999999", true, 255},            {"T", "-99999999999999999999999", true, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> pieces = gradientfile::explode(kDefaultComment, "|");
        pieces[5] = c.flag;
        pieces[14] = c.red;
        std::string text;
        for (size_t i = 0; i + 1 < pieces.size(); ++i)
            text += pieces[i] + "|";
        const std::optional<Stops> s = gradientfile::ParseGradientComment(text);
        ASSERT_TRUE(s.has_value()) << c.flag << " " << c.red;
        EXPECT_EQ(s->on[0], c.on) << c.flag;
        EXPECT_EQ(s->colour[0].r, c.r) << "\"" << c.red << "\"";
        EXPECT_EQ(s->colour[0].g, 25);
    }
}

TEST(GradientComment, ExtraPiecesAfterTheColoursAreIgnored) {
    const std::optional<Stops> s = gradientfile::ParseGradientComment(kDefaultComment + "x|y|z");
    ASSERT_TRUE(s.has_value());
    expectSame(*s, gradient::defaultStops(), "long comment");
    // The colours end at piece 40: a comment that stops there is read.
    EXPECT_TRUE(gradientfile::ParseGradientComment(kDefaultComment.substr(0, kDefaultComment.size() - 3)).has_value());
}

TEST(GradientLibrary, SaveOutcomes) {
    struct {
        const char* name;
        bool valid, exists;
        Answer answer;
        bool ask, write, unexpected, rebuild, fieldOpen;
    } cases[] = {
        {"name breaks the rule", false, true, Answer::Yes, false, false, false, false, true},
        {"new name", true, false, Answer::No, false, true, false, true, false},
        {"existing, Yes", true, true, Answer::Yes, true, true, false, true, false},
        {"existing, No", true, true, Answer::No, true, false, false, false, false},
        {"existing, other answer", true, true, Answer::Other, true, false, true, true, false},
    };
    for (const auto& c : cases) {
        const gradientfile::SaveOutcome o = gradientfile::saveOutcome(c.valid, c.exists, c.answer);
        EXPECT_EQ(o.ask, c.ask) << c.name;
        EXPECT_EQ(o.write, c.write) << c.name;
        EXPECT_EQ(o.unexpected, c.unexpected) << c.name;
        EXPECT_EQ(o.rebuild, c.rebuild) << c.name;
        EXPECT_EQ(o.fieldOpen, c.fieldOpen) << c.name;
    }
}

TEST(GradientLibrary, SamplesAPictureAtTheStopPositions) {
    const int want[9] = {0, 10, 30, 50, 70, 90, 110, 130, 159};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(gradientfile::kSampleX[i], want[i]) << i;
}

TEST(GradientComment, FixturesKeepTheFuzzTargetsPromises) {
    for (const char* kind : {"good", "bad"}) {
        for (const std::string& path : fixtures(kind)) {
            const std::string text = readFile(path);
            EXPECT_EQ(fuzz::gradientComment(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0) << path;
        }
    }
}
