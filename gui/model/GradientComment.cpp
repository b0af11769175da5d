#include "gui/model/GradientComment.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace gradientfile {

const char* const kVersion = "150";
const int kSampleX[gradient::kStops] = {0, 10, 30, 50, 70, 90, 110, 130, 159};

namespace {

// Pieces 14 to 40 hold the colours; a comment must reach that far.
const size_t kLastColourPiece = 40;

}  // namespace

std::vector<std::string> explode(const std::string& text, const std::string& delim) {
    std::vector<std::string> pieces;
    if (delim.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(delim, from);
        if (at == std::string::npos) {
            pieces.push_back(text.substr(from));
            return pieces;
        }
        pieces.push_back(text.substr(from, at - from));
        from = at + delim.size();
    }
}

std::string intToString(int value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

bool decodeBool(const std::string& text) { return text == "T"; }

int colourComponent(const std::string& piece) {
    // strtoll reads what atoi reads and saturates where atoi's result is undefined.
    const long long value = std::strtoll(piece.c_str(), nullptr, 10);
    return static_cast<int>(static_cast<unsigned long long>(value) & 0xFF);
}

std::string BuildGradientComment(const gradient::Stops& stops, bool useTiming, float timingValue) {
    // The timing value is 1 to 10; anything else a preset brought in is held
    // there, so the text stays short and the conversion defined.
    int value = 1;
    if (std::isfinite(timingValue))
        value = static_cast<int>(std::fmin(10.0f, std::fmax(1.0f, timingValue)));
    std::string text = std::string("V|") + kVersion + "|G";
    text += useTiming ? "|1|" : "|0|";
    text += intToString(value) + "|";
    for (int i = 0; i < gradient::kStops; ++i)
        text += stops.on[i] ? "T|" : "F|";
    for (int i = 0; i < gradient::kStops; ++i) {
        const gradient::Rgb& c = stops.colour[i];
        text += intToString(c.r & 0xFF) + "|" + intToString(c.g & 0xFF) + "|" + intToString(c.b & 0xFF) + "|";
    }
    text += useTiming ? "T|" : "F|";
    return text;
}

std::optional<gradient::Stops> ParseGradientComment(const std::string& text) {
    const std::vector<std::string> pieces = explode(text, "|");
    if (pieces.size() <= kLastColourPiece || pieces[1] != kVersion)
        return std::nullopt;
    gradient::Stops stops;
    for (int i = 0; i < gradient::kStops; ++i)
        stops.on[i] = decodeBool(pieces[5 + i]);
    for (int i = 0; i < gradient::kStops; ++i) {
        stops.colour[i] = gradient::Rgb{colourComponent(pieces[14 + 3 * i]), colourComponent(pieces[15 + 3 * i]),
                                        colourComponent(pieces[16 + 3 * i])};
    }
    return stops;
}

SaveOutcome saveOutcome(bool nameValid, bool exists, Answer answer) {
    if (!nameValid)
        return {false, false, false, false, true};
    if (!exists)
        return {false, true, false, true, false};
    switch (answer) {
        case Answer::Yes:
            return {true, true, false, true, false};
        case Answer::No:
            return {true, false, false, false, false};
        case Answer::Other:
            break;
    }
    return {true, false, true, true, false};
}

}  // namespace gradientfile
