#pragma once
// The gradient tool's model without a window: the nine stops, the rule that
// keeps one stop on, the hand-over into the engine's palette arrays, the
// timing hand-over of Apply and OK, and the fill plan a gradient picture is
// drawn from. Plain C++: no wx, no globals.

#include <vector>

namespace gradient {

const int kStops = 9;
// Stop i sits at palette index i * kStopSpacing.
const int kStopSpacing = 400;

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Stops {
    Rgb colour[kStops];
    bool on[kStops];
};

// The gradient the tool starts with: nine colours, stops 0, 4 and 8 on.
Stops defaultStops();

// True when exactly one stop is on: the one the user may not switch off.
bool isLastStop(const bool on[kStops]);

// Clears `size` entries of the four palette arrays, then writes every stop
// that is on at its palette index.
void writePalette(const Stops& stops, int* r, int* g, int* b, int* set, int size);

// What Apply and OK write into the engine's timing.
struct Timing {
    bool writesMode;  // OK leaves the mode as it is
    int mode;
    float time;
};
Timing applyTiming(bool useTiming, float value);
Timing okTiming(bool useTiming, float value);

// One fill of a gradient picture over the full height: the span [x, x +
// width) from colour `from` at its left edge to `to` at its right edge. A
// span may run past the picture's right edge; it is clipped when drawn, so
// the visible part stops short of `to`.
struct Fill {
    int x, width;
    Rgb from, to;
    bool operator==(const Fill& o) const { return x == o.x && width == o.width && from == o.from && to == o.to; }
};

// The fills of a w pixels wide picture, in drawing order (later ones win),
// for `n` enabled stops at the stop numbers `index` (increasing) with their
// colours. Spans that would be empty are left out.
std::vector<Fill> fillPlan(const int* index, const Rgb* colour, int n, int w);

}  // namespace gradient
