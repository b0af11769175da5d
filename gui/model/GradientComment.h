#pragma once
// The comment of a gradient file and the decisions of the gradient library
// that need no window. Plain C++: no wx, no globals.
//
// The comment is one line of fields, each followed by "|": "V", the version,
// "G", the timing switch ("1"/"0") and value, nine stop flags ("T"/"F"), nine
// colours as red, green and blue, and the timing switch again ("T"/"F").

#include <optional>
#include <string>
#include <vector>

#include "gui/model/GradientModel.h"

namespace gradientfile {

extern const char* const kVersion;  // "150"

// Splits `text` at every `delim` (not empty), keeping empty pieces: one
// piece more than there are delimiters.
std::vector<std::string> explode(const std::string& text, const std::string& delim);
std::string intToString(int value);
// Exactly "T".
bool decodeBool(const std::string& text);
// A colour component as the C library's atoi reads the piece (blanks, a
// sign, digits up to the first other character, 0 without digits),
// saturated, then its low 8 bits: 300 gives 44, -1 gives 255.
int colourComponent(const std::string& piece);

std::string BuildGradientComment(const gradient::Stops& stops, bool useTiming, float timingValue);
// The stops a comment holds; nothing for another version or a comment too
// short to hold all nine stops.
std::optional<gradient::Stops> ParseGradientComment(const std::string& text);

// The columns of the top row of a gradient picture that give a file without
// a comment its nine stop colours.
extern const int kSampleX[gradient::kStops];

// What one "OK" beside the name field leads to.
enum class Answer { Yes, No, Other };
struct SaveOutcome {
    bool ask;          // the overwrite question is asked
    bool write;        // picture and comment are written
    bool unexpected;   // the "unexpected answer" message is shown
    bool rebuild;      // the list is built again
    bool fieldOpen;    // the name field and its OK stay enabled
};
SaveOutcome saveOutcome(bool nameValid, bool exists, Answer answer);

}  // namespace gradientfile
