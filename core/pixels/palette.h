#pragma once
// Colour models and palette building over plain arrays: no GL, no wx, no
// engine state. Channels are ints 0..255; every float result that lands in
// an int is truncated toward zero.

namespace palette {

struct Rgb {
    int r, g, b;
};

// H, S, L in 0..1 from R, G, B in 0..255 (single precision).
void RGB_2_HSL(float R, float G, float B, float& H, float& S, float& L);
// R, G, B in 0..255 (not yet truncated) from H, S, L in 0..1.
void HSL_2_RGB(float H, float S, float L, float& R, float& G, float& B);
// One channel of HSL_2_RGB.
float Hue_2_RGB(float m1, float m2, float vH);

// The complement of an HSL colour: hue half way round, lightness mirrored,
// saturation kept; truncated to ints.
Rgb complementOfHsl(float H, float S, float L);
Rgb complementOf(Rgb c);

// The add, sub and active arrays of one gradient, `size` entries each.
struct Gradient {
    int* R;
    int* G;
    int* B;
};

// Interpolates the whole gradient in place from the stops marked 1 in `set`
// (stop colours keep their own values): before the first stop its colour,
// between stops a linear blend in integers, after the last its colour.
// Returns false, with `add` untouched, when there is no stop.
bool buildGradient(const int* set, Gradient add, int size);
// sub[k] := the complement of add[k].
void buildComplement(Gradient add, Gradient sub, int size);
// active := add when lightening, else sub.
void selectActive(bool additive, Gradient add, Gradient sub, Gradient active, int size);

}  // namespace palette
