// The brush preset comment: the text the writer makes from the settings and
// the bounded plan the reader makes from any text, over the fixture comments
// in tests/data/brush_comments (good/ and bad/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "framework/ofMath.h"
#include "gui/model/BrushPreset.h"
#include "tests/fuzz/targets.h"
#include "tests/services_fixture.h"

using namespace brushpreset;

namespace {

// The example brush: colour (255, 128, 0), full opacity, lighten, "Follow".
BrushSettings exampleBrush() {
    BrushSettings s;
    s.perpixelz = 0;
    s.basicR = 255, s.basicG = 128, s.basicB = 0;
    s.opacityz = 100;
    s.additive = true;
    s.modes = 1;
    s.partNum = 300;
    s.normLen = 2.5f;
    s.partStep = 1;
    s.velInf = 1;
    s.slow1 = 0.97f;
    s.mass1 = 0;
    s.mass2 = 4;
    s.distZ = 0;
    s.randd = 0;
    s.paintDetail = 4;
    s.fadez = 10;
    s.fillz = true;
    s.spline = false;
    return s;
}

const char kExample[] =
    "V|150|C|255|128|0|P|100|S|1|BRU|A|1|B|300|C|100000|D|1|E|0|F|100000|G|0|H|100000|I|100000|J|0|K|4|L|10|M|1|N|0|"
    "END";

size_t fields(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '|')) + 1; }

std::string field(const std::string& text, size_t i) { return explode(text, "|").at(i); }

const TagStep* findTag(const BrushPlan& plan, char tag) {
    for (const TagStep& t : plan.tags)
        if (t.tag == tag)
            return &t;
    return nullptr;
}

std::string fixture(const std::string& name) {
    return svctest::readFile(std::string(WYRLE_TEST_DATA) + "/brush_comments/" + name);
}

}  // namespace

// --- Writing -----------------------------------------------------------------

TEST(BrushCommentWriter, WritesTheExampleFieldForField) {
    const auto text = BuildBrushComment(exampleBrush());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, kExample);
    EXPECT_EQ(text->size(), 114u);
}

TEST(BrushCommentWriter, TheKindFollowsTheColourSourceOnly) {
    BrushSettings s = exampleBrush();
    s.stops[0] = {true, 1, 2, 3};  // stops held while the brush paints one colour
    EXPECT_EQ(field(*BuildBrushComment(s), 2), "C");
    EXPECT_EQ(fields(*BuildBrushComment(s)), 40u);

    s.perpixelz = 1;
    s.perpixelzMode = 1;
    s.perpixelzTimeVal = 7.9f;  // truncated
    s.perpixelzTime = 0;        // timing off: the last gradient field is "F"
    for (int i = 0; i < kStops; ++i)
        s.stops[i] = {i % 4 == 0, i, 10 * i, 255};
    const std::string text = *BuildBrushComment(s);
    EXPECT_EQ(fields(text), 76u);
    EXPECT_EQ(text.substr(0, 50), "V|150|G|1|7|T|F|F|F|T|F|F|F|T|0|0|255|1|10|255|2|2");
    // A stop that is off still stores its colour.
    EXPECT_EQ(field(text, 14 + 3 * 5), "5");
    EXPECT_EQ(field(text, 41), "F");
    EXPECT_EQ(field(text, 42), "P");
    EXPECT_EQ(field(text, 46), "BRU");
    EXPECT_EQ(text.substr(text.size() - 4), "|END");
}

TEST(BrushCommentWriter, MapsTheEndsOfEachRangeByTruncation) {
    struct {
        const char* what;
        void (*set)(BrushSettings&);
        size_t at;  // field of the value in a kind "C" comment
        const char* stored;
    } table[] = {
        {"Soft at 1", [](BrushSettings& s) { s.velInf = 1; }, 20, "0"},
        {"Soft at 0.002", [](BrushSettings& s) { s.velInf = 0.002f; }, 20, "100000"},
        {"Chaos at 300", [](BrushSettings& s) { s.distZ = 300; }, 28, "0"},
        {"Chaos at 0", [](BrushSettings& s) { s.distZ = 0; }, 28, "100000"},
        {"fade 2.9", [](BrushSettings& s) { s.fadez = 2.9f; }, 34, "2"},
        {"fade off", [](BrushSettings& s) { s.fadez = 0; }, 34, "0"},
        {"opacity 55.7", [](BrushSettings& s) { s.opacityz = 55.7f; }, 7, "55"},
        {"darken", [](BrushSettings& s) { s.additive = false; }, 9, "0"},
    };
    for (const auto& row : table) {
        BrushSettings s = exampleBrush();
        row.set(s);
        EXPECT_EQ(field(*BuildBrushComment(s), row.at), row.stored) << row.what;
    }
}

TEST(BrushCommentWriter, TheLongestCommentsFitAndLongerOnesAreRefused) {
    BrushSettings s = exampleBrush();
    s.basicR = s.basicG = s.basicB = 255;
    s.modes = 2;
    s.partStep = 20;
    s.normLen = 2.5f, s.velInf = 0.002f, s.slow1 = 0.97f, s.mass1 = 250, s.mass2 = 4, s.distZ = 0, s.randd = 100;
    s.fillz = s.spline = true;
    EXPECT_EQ(BuildBrushComment(s)->size(), 132u);

    s.perpixelz = 1;
    s.perpixelzTimeVal = 10;
    for (Stop& stop : s.stops)
        stop = {true, 255, 255, 255};
    EXPECT_EQ(BuildBrushComment(s)->size(), 253u);

    // Values another preset could once bring in; never cut, refused whole.
    s.perpixelzMode = 123456;
    EXPECT_FALSE(BuildBrushComment(s));
    s.perpixelzMode = 1;
    s.perpixelzTimeVal = -2147483648.0f;
    EXPECT_FALSE(BuildBrushComment(s));
    s.perpixelzTimeVal = NAN;
    EXPECT_EQ(BuildBrushComment(s)->size(), 252u);  // NaN is stored as 0
}

// --- Reading -----------------------------------------------------------------

TEST(BrushCommentReader, TheExampleGivesTheToolWindowsPositions) {
    const BrushPlan plan = ParseBrushComment(kExample, true);
    ASSERT_EQ(plan.kind, Kind::Colour);
    EXPECT_TRUE(plan.colourPart);
    EXPECT_EQ(plan.r, 255);
    EXPECT_EQ(plan.g, 128);
    EXPECT_EQ(plan.b, 0);
    EXPECT_EQ(plan.opacity, 100);
    EXPECT_TRUE(plan.additive);
    EXPECT_TRUE(plan.messages.empty());
    ASSERT_EQ(plan.tags.size(), 14u);
    struct {
        char tag;
        float value;
        int slider;
        const char* label;
    } expected[] = {{'A', 1, 0, ""},      {'B', 300, 300, "300"},  {'C', 2.5f, 10, "10"}, {'D', 1, 1, "1"},
                    {'E', 1, 1, "1"},     {'F', 0.97f, 100, "100"}, {'G', 0, 0, "0"},     {'H', 4, 100, "100"},
                    {'I', 0, 100, "100"}, {'J', 0, 0, "0"},         {'K', 4, 4, "4"},     {'L', 10, 1, "1"},
                    {'M', 1, 0, ""},      {'N', 0, 0, ""}};
    for (size_t i = 0; i < 14; ++i) {
        const TagStep& got = plan.tags[i];
        EXPECT_EQ(got.tag, expected[i].tag);
        EXPECT_FLOAT_EQ(got.value, expected[i].value) << got.tag;
        EXPECT_EQ(got.slider, expected[i].slider) << got.tag;
        EXPECT_EQ(got.label, expected[i].label) << got.tag;
    }

    // Without the colour only the brush parameters come.
    const BrushPlan tagsOnly = ParseBrushComment(kExample, false);
    EXPECT_EQ(tagsOnly.kind, Kind::Colour);
    EXPECT_FALSE(tagsOnly.colourPart);
    EXPECT_EQ(tagsOnly.r, 0);
    EXPECT_EQ(tagsOnly.tags.size(), 14u);
}

// Saved from any slider position, a preset brings back the same position.
TEST(BrushCommentReader, EverySliderPositionSurvivesARoundTrip) {
    struct Slider {
        char tag;
        int lo, hi;
        float atLo, atHi;
        void (*set)(BrushSettings&, float);
    } sliders[] = {
        {'C', 0, 10, 0, 2.5f, [](BrushSettings& s, float v) { s.normLen = v; }},
        {'E', 1, 100, 1, 0.002f, [](BrushSettings& s, float v) { s.velInf = v; }},
        {'F', 1, 100, 0.1f, 0.97f, [](BrushSettings& s, float v) { s.slow1 = v; }},
        {'G', 0, 100, 0, 250, [](BrushSettings& s, float v) { s.mass1 = v; }},
        {'H', 0, 100, 0.001f, 4, [](BrushSettings& s, float v) { s.mass2 = v; }},
        {'I', 0, 100, 300, 0, [](BrushSettings& s, float v) { s.distZ = v; }},
        {'J', 0, 100, 0, 100, [](BrushSettings& s, float v) { s.randd = v; }},
    };
    for (const Slider& sl : sliders) {
        for (int p = sl.lo; p <= sl.hi; ++p) {
            BrushSettings s = exampleBrush();
            const float value = ofMap(static_cast<float>(p), static_cast<float>(sl.lo), static_cast<float>(sl.hi),
                                      sl.atLo, sl.atHi);  // what the slider itself sets
            sl.set(s, value);
            const BrushPlan plan = ParseBrushComment(*BuildBrushComment(s), true);
            const TagStep* back = findTag(plan, sl.tag);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(back->slider, p) << sl.tag;
            EXPECT_FLOAT_EQ(back->value, value) << sl.tag << " at " << p;
        }
    }
}

TEST(BrushCommentReader, AGradientComesBackStopForStop) {
    BrushSettings s = exampleBrush();
    s.perpixelz = 1;
    s.perpixelzMode = 1;
    s.perpixelzTimeVal = 7;
    s.perpixelzTime = 7;
    s.additive = false;
    s.opacityz = 33;
    for (int i = 0; i < kStops; ++i)
        s.stops[i] = {i % 3 == 0, 20 * i, 255 - i, 7 * i};
    const BrushPlan plan = ParseBrushComment(*BuildBrushComment(s), true);
    ASSERT_EQ(plan.kind, Kind::Gradient);
    EXPECT_EQ(plan.timingMode, 1);
    EXPECT_EQ(plan.timingValue, 7);
    EXPECT_EQ(plan.timingLabel, "7");
    EXPECT_EQ(plan.perpixelzTime, 7);
    for (int i = 0; i < kStops; ++i) {
        EXPECT_EQ(plan.stops[i].on, s.stops[i].on) << i;
        EXPECT_EQ(plan.stops[i].r, s.stops[i].r) << i;
        EXPECT_EQ(plan.stops[i].g, s.stops[i].g) << i;
        EXPECT_EQ(plan.stops[i].b, s.stops[i].b) << i;
    }
    EXPECT_EQ(plan.opacity, 33);
    EXPECT_FALSE(plan.additive);
    // The stop flags "F" and the kind "G" are never taken for tags.
    ASSERT_EQ(plan.tags.size(), 14u);
    EXPECT_EQ(plan.tags.front().tag, 'A');

    // Timing mode 0 keeps the value but turns the timing off.
    s.perpixelzMode = 0;
    const BrushPlan off = ParseBrushComment(*BuildBrushComment(s), true);
    EXPECT_EQ(off.timingMode, 0);
    EXPECT_EQ(off.timingValue, 7);
    EXPECT_EQ(off.perpixelzTime, 0);
}

TEST(BrushCommentReader, PiecesAreReadTheWayTheFormatSays) {
    EXPECT_EQ(explode("", "|"), std::vector<std::string>{""});
    EXPECT_EQ(explode("|a||b|", "|"), (std::vector<std::string>{"", "a", "", "b", ""}));
    EXPECT_EQ(explode("a--b", "--"), (std::vector<std::string>{"a", "b"}));

    struct {
        const char* text;
        bool ok;
        int value;
    } numbers[] = {{"12", true, 12},   {" -7", true, -7},         {"+5", true, 5},          {"12abc", true, 12},
                   {"1.5", true, 1},   {"abc", false, 0},         {"", false, 0},           {"-", false, 0},
                   {"2147483647", true, 2147483647}, {"2147483648", false, 0}, {"-2147483649", false, 0}};
    for (const auto& row : numbers) {
        int v = 0;
        EXPECT_EQ(stringToInt(row.text, v), row.ok) << row.text;
        if (row.ok) {
            EXPECT_EQ(v, row.value) << row.text;
        }
    }
    EXPECT_EQ(notANumberMessage("abc"), "string abccould not be casted into integer.");
}

// Every fixture: the kind it gives, the messages it raises, and every value
// of its plan inside the range the engine and the sliders accept.
TEST(BrushCommentReader, FixtureCommentsGiveBoundedPlans) {
    struct Expect {
        Kind kind;
        size_t messages;
        size_t tags;
    };
    const std::map<std::string, Expect> table = {
        {"good/colour_example.txt", {Kind::Colour, 0, 14}},
        {"good/gradient.txt", {Kind::Gradient, 0, 14}},
        {"good/tags_reversed.txt", {Kind::Colour, 0, 14}},
        {"bad/empty.txt", {Kind::None, 0, 0}},
        {"bad/other_version.txt", {Kind::None, 0, 0}},
        {"bad/version_with_blank.txt", {Kind::None, 0, 0}},
        {"bad/unknown_kind.txt", {Kind::None, 0, 0}},
        {"bad/two_fields.txt", {Kind::None, 0, 0}},
        {"bad/short_colour.txt", {Kind::None, 0, 0}},
        {"bad/short_gradient.txt", {Kind::None, 0, 0}},
        {"bad/tag_last.txt", {Kind::Colour, 0, 1}},
        {"bad/out_of_range.txt", {Kind::Colour, 1, 14}},
        {"bad/not_numbers.txt", {Kind::Colour, 3, 3}},
        {"bad/gradient_out_of_range.txt", {Kind::Gradient, 0, 1}},
    };
    std::vector<std::string> files;
    for (const char* folder : {"good", "bad"})
        for (const std::string& name : svctest::listDir(std::string(WYRLE_TEST_DATA) + "/brush_comments/" + folder))
            files.push_back(std::string(folder) + "/" + name);
    ASSERT_EQ(files.size(), table.size()) << "a fixture without a row, or a row without a fixture";
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        ASSERT_EQ(table.count(name), 1u);
        const Expect& want = table.at(name);
        const std::string text = fixture(name);
        const BrushPlan plan = ParseBrushComment(text, true);
        EXPECT_EQ(plan.kind, want.kind);
        EXPECT_EQ(plan.messages.size(), want.messages);
        EXPECT_EQ(plan.tags.size(), want.tags);
        // The fuzz target's own checks: every value within its bounds.
        fuzz::brushComment(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
}

TEST(BrushCommentReader, OutOfRangeValuesAreBoundedBeforeUse) {
    const BrushPlan plan = ParseBrushComment(fixture("bad/out_of_range.txt"), true);
    EXPECT_EQ(plan.r, 44);   // 300, low 8 bits
    EXPECT_EQ(plan.g, 255);  // -1
    ASSERT_EQ(plan.messages.size(), 1u);
    EXPECT_EQ(plan.messages[0], "string 99999999999could not be casted into integer.");
    EXPECT_EQ(plan.b, 0);  // no number reads as 0
    EXPECT_EQ(plan.opacity, 100);
    EXPECT_FALSE(plan.additive);  // only 1 is lighten
    std::map<char, float> values;
    for (const TagStep& t : plan.tags)
        values[t.tag] = t.value;
    EXPECT_EQ(values['A'], 2);
    EXPECT_EQ(values['B'], 300);
    EXPECT_EQ(findTag(plan, 'B')->label, "300");
    EXPECT_EQ(values['D'], 1);
    EXPECT_EQ(values['K'], 4);
    EXPECT_EQ(values['L'], 0);
    EXPECT_EQ(findTag(plan, 'L')->slider, 0);
    EXPECT_EQ(values['M'], 1);
    EXPECT_EQ(values['N'], 1);
    EXPECT_EQ(findTag(plan, 'E')->slider, 100);
    EXPECT_EQ(findTag(plan, 'F')->slider, 1);

    const BrushPlan g = ParseBrushComment(fixture("bad/gradient_out_of_range.txt"), true);
    EXPECT_EQ(g.timingMode, 1);
    EXPECT_EQ(g.timingValue, 1);
    EXPECT_EQ(g.timingLabel, "1");
    EXPECT_EQ(g.perpixelzTime, 1);
    EXPECT_FALSE(g.stops[0].on);  // "t"
    EXPECT_FALSE(g.stops[1].on);  // "1"
    EXPECT_TRUE(g.stops[2].on);
    EXPECT_EQ(g.stops[0].r, 44);
    EXPECT_EQ(g.stops[0].g, 255);
    EXPECT_EQ(g.stops[0].b, 0);  // "x": no number, no message
    EXPECT_EQ(g.opacity, 1);
    ASSERT_EQ(g.tags.size(), 1u);
    EXPECT_EQ(g.tags[0].value, 1);  // a step of 0 would never advance

    // Digits then letters read as the digits, silently; letters alone are named.
    const BrushPlan words = ParseBrushComment(fixture("bad/not_numbers.txt"), true);
    ASSERT_EQ(words.messages.size(), 3u);
    EXPECT_EQ(words.messages[0], "string redcould not be casted into integer.");
    EXPECT_EQ(words.messages[1], "string xcould not be casted into integer.");
    EXPECT_EQ(words.messages[2], "string onecould not be casted into integer.");
    EXPECT_EQ(findTag(words, 'B')->value, 12);
    EXPECT_EQ(findTag(words, 'B')->label, "12abc");
    EXPECT_EQ(findTag(words, 'L')->value, 2);
}

TEST(BrushCommentReader, FadeSliderAndTagsInAnyOrder) {
    const BrushPlan plan = ParseBrushComment(fixture("good/tags_reversed.txt"), true);
    std::string order;
    for (const TagStep& t : plan.tags)
        order += t.tag;
    EXPECT_EQ(order, "NMLKJIHGFEDCBA");
    EXPECT_EQ(findTag(plan, 'L')->slider, 0);
    EXPECT_EQ(findTag(plan, 'L')->label, "0");
    const BrushPlan one = ParseBrushComment("V|150|C|0|0|0|P|1|S|0|BRU|L|1|END", false);
    EXPECT_EQ(findTag(one, 'L')->slider, 10);
}
