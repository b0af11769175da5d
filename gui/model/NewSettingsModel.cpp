#include "gui/model/NewSettingsModel.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>

namespace newsettings {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipBlanks(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

std::string twoDecimals(double value) {
    if (!std::isfinite(value))
        value = 0;
    char buffer[400];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("0.00");
}

// Computed in double and kept in single precision, as the labels show it.
std::string label(int pixels, double dpi, double factor) {
    if (!(dpi > 0))
        return "0.00";
    return twoDecimals(static_cast<float>(pixels / dpi * factor));
}

}  // namespace

bool isNumberText(const std::string& text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    for (; i < text.size(); ++i)
        if (!isDigit(text[i]))
            return false;
    return true;
}

int readInt(const std::string& text) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // saturated; more digits change nothing
    }
    if (negative)
        return static_cast<int>(-value < INT_MIN ? INT_MIN : -value);
    return static_cast<int>(value > INT_MAX ? INT_MAX : value);
}

double readReal(const std::string& text) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return 0;  // from_chars would take a second sign
    double value = 0;
    const std::from_chars_result r = std::from_chars(text.data() + i, text.data() + text.size(), value);
    // Out of range either way gives the read-out "0.00", as infinity would.
    if (r.ec != std::errc())
        return 0;
    return negative ? -value : value;
}

Readout sizeReadout(const std::string& width, const std::string& height, const std::string& dpi) {
    const int w = readInt(width);
    const int h = readInt(height);
    const double d = readReal(dpi);
    Readout out;
    out.widthCm = label(w, d, 2.54);
    out.heightCm = label(h, d, 2.54);
    out.widthInch = label(w, d, 1.0);
    out.heightInch = label(h, d, 1.0);
    return out;
}

Plan planNewArtwork(const std::string& width, const std::string& height, bool alpha, int red, int green, int blue) {
    Plan plan;
    // The width is tested first; the height only when the width passes.
    if (!isNumberText(width) || !isNumberText(height))
        return plan;
    plan.accepted = true;
    plan.red = red;
    plan.green = green;
    plan.blue = blue;
    plan.width = readInt(width) < kMinSide ? kMinSide : readInt(width);
    plan.height = readInt(height) < kMinSide ? kMinSide : readInt(height);
    plan.alpha = alpha ? 1 : 0;
    return plan;
}

}  // namespace newsettings
