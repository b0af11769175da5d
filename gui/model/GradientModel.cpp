#include "gui/model/GradientModel.h"

#include <cmath>

namespace gradient {

Stops defaultStops() {
    static const Rgb colours[kStops] = {{213, 25, 32}, {222, 132, 21}, {222, 197, 26}, {47, 194, 57},  {4, 167, 225},
                                        {13, 95, 216}, {121, 56, 170}, {212, 0, 126},  {213, 25, 32}};
    Stops stops;
    for (int i = 0; i < kStops; ++i) {
        stops.colour[i] = colours[i];
        stops.on[i] = (i == 0 || i == 4 || i == 8);
    }
    return stops;
}

bool isLastStop(const bool on[kStops]) {
    int count = 0;
    for (int i = 0; i < kStops; ++i)
        count += on[i] ? 1 : 0;
    return count == 1;
}

void writePalette(const Stops& stops, int* r, int* g, int* b, int* set, int size) {
    for (int k = 0; k < size; ++k)
        r[k] = g[k] = b[k] = set[k] = 0;
    for (int i = 0; i < kStops; ++i) {
        if (!stops.on[i])
            continue;
        const int k = static_cast<int>(i * static_cast<float>(kStopSpacing));
        if (k >= size)
            continue;
        set[k] = 1;
        r[k] = stops.colour[i].r;
        g[k] = stops.colour[i].g;
        b[k] = stops.colour[i].b;
    }
}

Timing applyTiming(bool useTiming, float value) {
    if (useTiming)
        return {true, 1, value};
    return {true, 0, 0.0f};
}

Timing okTiming(bool useTiming, float value) { return {false, 0, useTiming ? value : 0.0f}; }

namespace {

// s = w / 8 and o = w / 16 are exact in a double, and so is every position
// built from them, so trunc and ceil see the exact values.
void add(std::vector<Fill>& plan, double x, double width, const Rgb& from, const Rgb& to) {
    Fill fill{static_cast<int>(x), static_cast<int>(width), from, to};
    if (fill.width > 0)
        plan.push_back(fill);
}

}  // namespace

std::vector<Fill> fillPlan(const int* index, const Rgb* colour, int n, int w) {
    std::vector<Fill> plan;
    if (w <= 0)
        return plan;
    const double s = w / 8.0;
    const double o = w / 16.0;
    if (n <= 0) {
        add(plan, 0, w, Rgb{255, 0, 0}, Rgb{0, 0, 255});
        return plan;
    }
    if (n == 1) {
        add(plan, 0, w, colour[0], colour[0]);
        return plan;
    }
    const Rgb& first = colour[0];
    const Rgb& last = colour[n - 1];
    if (index[0] > 0)
        add(plan, 0, std::trunc(o + index[0] * s), first, first);
    if (n == 2) {
        // Two stops sit half a stop further right than in the general case.
        add(plan, 0, std::trunc(o), first, first);
        add(plan, std::trunc(index[0] * s + o), std::trunc((index[1] - index[0]) * s), first, last);
        const double from = std::trunc(o + index[1] * s);
        add(plan, from, w - from, last, last);
        return plan;
    }
    for (int k = 0; k + 1 < n; ++k)
        add(plan, std::ceil(index[k] * s), std::ceil((index[k + 1] - index[k]) * s), colour[k], colour[k + 1]);
    const double from = std::trunc(index[n - 1] * s);
    add(plan, from, w - from, last, last);
    return plan;
}

}  // namespace gradient
