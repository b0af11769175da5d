#pragma once
// What the New Settings dialog does with its texts: the number test, the
// lenient reads, the size read-out and the plan its OK hands over. Plain
// C++: no wx, no globals.

#include <string>

namespace newsettings {

// An optional "+" or "-", then any number of decimal digits and nothing
// else; the empty text passes.
bool isNumberText(const std::string& text);

// Leading blanks, an optional sign, then the leading digits; 0 when there
// are none. More digits than an int holds saturate at INT_MAX (INT_MIN).
int readInt(const std::string& text);

// Leading blanks, then the longest real number there; 0 when there is none
// or when it is out of range.
// The C locale's decimal point, whatever the user's locale.
double readReal(const std::string& text);

// The four read-out labels, "%.2f" each. A DPI of 0 or less, or a value
// without a finite size, shows "0.00".
struct Readout {
    std::string widthCm, heightCm, widthInch, heightInch;
};
Readout sizeReadout(const std::string& width, const std::string& height, const std::string& dpi);

// The smallest canvas side.
const int kMinSide = 10;

// What OK writes: nothing when `accepted` is false (a text failed the
// number test).
struct Plan {
    bool accepted = false;
    int red = 0, green = 0, blue = 0;
    int width = kMinSide, height = kMinSide;
    int alpha = 0;
};
Plan planNewArtwork(const std::string& width, const std::string& height, bool alpha, int red, int green, int blue);

}  // namespace newsettings
