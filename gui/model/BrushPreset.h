#pragma once
// The brush preset comment: the one line of "|"-separated fields that a
// preset's sample picture and icon carry as their PNG comment. The writer
// turns a copy of the settings into the text; the reader turns a text into a
// plan of bounded values that the brush library then hands to the engine
// and the windows. Plain C++: no wx, no globals.

#include <optional>
#include <string>
#include <vector>

namespace brushpreset {

// The PNG comment holds at most this many bytes.
constexpr size_t kMaxCommentBytes = 255;
constexpr int kStops = 9;

struct Stop {
    bool on = false;
    int r = 0, g = 0, b = 0;
};

// What a preset stores, as the setting globals hold it.
struct BrushSettings {
    int perpixelz = 0;  // 0: the basic colour (kind "C"), else the gradient (kind "G")
    int basicR = 0, basicG = 0, basicB = 0;
    int perpixelzMode = 1;
    float perpixelzTimeVal = 3;
    float perpixelzTime = 3;
    Stop stops[kStops];
    float opacityz = 40;
    bool additive = true;
    int modes = 0;
    int partNum = 100;
    float normLen = 1;
    int partStep = 1;
    float velInf = 0.15f;
    float slow1 = 0.88f;
    float mass1 = 50;
    float mass2 = 1;
    float distZ = 90;
    float randd = 0;
    int paintDetail = 1;
    float fadez = 10;
    bool fillz = true;
    bool spline = true;
};

// The comment for `s`, or nothing when it would not fit the PNG comment
// (only values far outside their ranges make it that long).
std::optional<std::string> BuildBrushComment(const BrushSettings& s);

// One brush parameter found under its tag, already bounded.
struct TagStep {
    char tag = 0;         // 'A' .. 'N'
    float value = 0;      // the global's new value (ints and bools as 0/1 held exactly)
    int slider = 0;       // the tool window's slider position (none for A, M, N)
    std::string label;    // the slider's value label (empty for A, M, N)
};

enum class Kind { None, Colour, Gradient };

// Everything a comment asks for. `kind` None: another version, another kind
// or too few fields; nothing is applied. The colour part, the opacity and
// the switch are filled only when the caller uses the preset's colour.
struct BrushPlan {
    Kind kind = Kind::None;
    bool colourPart = false;
    // Kind "C".
    int r = 0, g = 0, b = 0;
    // Kind "G".
    int timingMode = 0;          // 0 or 1
    float timingValue = 1;       // 1..10
    std::string timingLabel;     // the stored text when in range
    float perpixelzTime = 0;     // 0 without timing, else the value
    Stop stops[kStops];
    // Both kinds.
    float opacity = 100;  // 1..100
    bool additive = false;
    std::vector<TagStep> tags;  // in the order they stand
    // The texts that held no number, as the user is told of them.
    std::vector<std::string> messages;
};

BrushPlan ParseBrushComment(const std::string& text, bool useBrushColor);

// The text split at every `separator`; empty pieces stay.
std::vector<std::string> explode(const std::string& text, const std::string& separator);

// The int at the start of the text (blanks skipped, a sign allowed); false
// when there is none or it does not fit an int.
bool stringToInt(const std::string& text, int& value);

// The message for a text that held no number.
std::string notANumberMessage(const std::string& text);

}  // namespace brushpreset
