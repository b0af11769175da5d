// Stroke painting kernels: brush set-up, dirty rectangle, line splats,
// ribbons, the fade and palette clock, and the composite pass.

#include "core/pixels/stroke.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/WyrleGlobals.h"
#include "core/pixels/rowsplit.h"

namespace {

constexpr float kNoPoint = 1e30f;

int clampByte(int v) { return std::min(std::max(v, 0), 255); }

// canvas::canvasAlpha and the display rule of canvas::recompose, inline for
// the composite's loop: a third of the distance from the background (0.33 a
// double, as it decides the rounding), and back + front - background.
inline int alphaFromBackground(int r, int g, int b, int bgR, int bgG, int bgB) {
    const int a = static_cast<int>(0.33 * (std::abs(r - bgR) + std::abs(g - bgG) + std::abs(b - bgB)));
    return a > 255 ? 255 : a;
}

inline unsigned char overBackground(int back, int front, int bg) {
    return static_cast<unsigned char>(clampByte(back + front - bg));
}

// Float to int without undefined behaviour: NaN gives 0, the rest saturates.
int64_t toInt64(double v) {
    if (!(v == v)) return 0;
    if (v >= 9.0e18) return INT64_C(9000000000000000000);
    if (v <= -9.0e18) return -INT64_C(9000000000000000000);
    return static_cast<int64_t>(v);
}

// trunc(position) mod kPaletteLast, never negative. Runs once per sample,
// so it divides by multiplying (exact well beyond the float range used).
inline __attribute__((always_inline)) int paletteWrap(float position) {
    const int64_t i = toInt64(position);
    if (i >= 0 && i < kPaletteLast) return static_cast<int>(i);
    int64_t r = i - static_cast<int64_t>(static_cast<double>(i) * (1.0 / kPaletteLast)) * kPaletteLast;
    if (r < 0) r += kPaletteLast;
    if (r >= kPaletteLast) r -= kPaletteLast;
    if (r < 0 || r >= kPaletteLast) {  // beyond double precision
        r = i % kPaletteLast;
        if (r < 0) r += kPaletteLast;
    }
    return static_cast<int>(r);
}

// The accumulator as plain arrays for the hot loops; the touched count is
// copied in and written back by the caller. Ribbons paint only the rows
// rowMin..rowMax-1 (a band of the canvas; all of it by default), and the
// list counts as full once touchedCount passes `limit`.
struct AccumRef {
    int* pixelMap;
    int* touchedPixels;
    int* accumR;
    int* accumG;
    int* accumB;
    int touchedCount;
    int width;
    int height;
    int rowMin = 0;
    int rowMax;
    int limit = kTouchedLimit;

    explicit AccumRef(PaintAccumulator& a)
        : pixelMap(a.map),
          touchedPixels(a.touchedPixels.data()),
          accumR(a.accumR.data()),
          accumG(a.accumG.data()),
          accumB(a.accumB.data()),
          touchedCount(a.touchedCount),
          width(a.canvasWidth),
          height(a.canvasHeight),
          rowMax(a.canvasHeight) {}

    bool full() const { return touchedCount > limit; }

    int entryFor(int idx) {
        int e = pixelMap[idx];
        if (e == 0) {
            e = touchedCount++;
            pixelMap[idx] = e;
            touchedPixels[e] = idx;
        }
        return e;
    }

    static void addSat(int& sum, int64_t v) {
        const int64_t s = static_cast<int64_t>(sum) + v;
        sum = s > INT_MAX ? INT_MAX : static_cast<int>(s);
    }

    // v >= 0 and within int.
    static void addSat(int& sum, int v) {
        int s;
        sum = __builtin_add_overflow(sum, v, &s) ? INT_MAX : s;
    }

    // count unweighted hits of one colour (ribbons).
    void addHits(int idx, int r, int g, int b, int count) {
        const int e = entryFor(idx);
        addSat(accumR[e], static_cast<int64_t>(r) * count);
        addSat(accumG[e], static_cast<int64_t>(g) * count);
        addSat(accumB[e], static_cast<int64_t>(b) * count);
    }
};

// One line splat: (x, y) in 1/16 pixels, weighted over the 2 x 2 pixels
// below and right of it with w = 1 - d^2 / 256 (d in 1/16 pixels). The
// weight is a whole number of 256ths, so integer sums are exact. Row and
// column 0 never take line paint.
inline __attribute__((always_inline)) void splat(AccumRef& acc, int x, int y, int r, int g, int b) {
    if (acc.full()) return;
    const int px = x >> 4;
    const int py = y >> 4;
    const int fx = 16 * px - x;
    const int fy = 16 * py - y;
    const int width = acc.width;
    // channel * w / 256 never exceeds the channel, so it fits an int.
    const auto add = [&](int idx, int d2) {
        const int64_t w = 256 - d2;
        const int e = acc.entryFor(idx);
        AccumRef::addSat(acc.accumR[e], static_cast<int>((r * w) >> 8));
        AccumRef::addSat(acc.accumG[e], static_cast<int>((g * w) >> 8));
        AccumRef::addSat(acc.accumB[e], static_cast<int>((b * w) >> 8));
    };
    if (px > 0 && py > 0 && px + 1 < width && py + 1 < acc.height) {
        const int x0 = fx * fx, x1 = (16 + fx) * (16 + fx);
        const int y0 = fy * fy, y1 = (16 + fy) * (16 + fy);
        const int base = px + py * width;
        if (x0 + y0 < 256) add(base, x0 + y0);
        if (x1 + y0 < 256) add(base + 1, x1 + y0);
        if (x0 + y1 < 256) add(base + width, x0 + y1);
        if (x1 + y1 < 256) add(base + width + 1, x1 + y1);
        return;
    }
    for (int j = 0; j < 2; ++j) {
        const int yy = py + j;
        if (yy <= 0 || yy >= acc.height) continue;
        const int dy = 16 * j + fy;
        for (int i = 0; i < 2; ++i) {
            const int xx = px + i;
            if (xx <= 0 || xx >= width) continue;
            const int dx = 16 * i + fx;
            const int d2 = dx * dx + dy * dy;
            if (d2 < 256) add(xx + yy * width, d2);
        }
    }
}

// One particle's trail in canvas pixels: P0 newest .. P3 oldest. The painted
// part runs from P2 (t = 0) to P1 (t = 1).
struct Segment {
    float x0, y0, x1, y1, x2, y2, x3, y3;
    bool spline;

    void at(float t, float& x, float& y) const {
        if (spline) {
            x = curvePoint(x3, x2, x1, x0, t);
            y = curvePoint(y3, y2, y1, y0, t);
        } else {
            x = x2 + (x1 - x2) * t;
            y = y2 + (y1 - y2) * t;
        }
    }

    bool finite() const {
        if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
        return !spline || (std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x3) && std::isfinite(y3));
    }

    // The curve between t = 0 and t = 1 lies in the hull of its Bezier
    // control points (for a straight segment: its two ends).
    void bezier(float bx[4], float by[4]) const {
        bx[0] = x2;
        by[0] = y2;
        bx[3] = x1;
        by[3] = y1;
        if (spline) {
            bx[1] = x2 + (x1 - x3) / 6.0f;
            by[1] = y2 + (y1 - y3) / 6.0f;
            bx[2] = x1 - (x0 - x2) / 6.0f;
            by[2] = y1 - (y0 - y2) / 6.0f;
        } else {
            bx[1] = bx[2] = x2;
            by[1] = by[2] = y2;
        }
    }

    void hull(float& minX, float& maxX, float& minY, float& maxY) const {
        float bx[4], by[4];
        bezier(bx, by);
        minX = std::min(std::min(bx[0], bx[1]), std::min(bx[2], bx[3]));
        maxX = std::max(std::max(bx[0], bx[1]), std::max(bx[2], bx[3]));
        minY = std::min(std::min(by[0], by[1]), std::min(by[2], by[3]));
        maxY = std::max(std::max(by[0], by[1]), std::max(by[2], by[3]));
    }

    // Bounds of |dx/dt| and |dy/dt| over the segment.
    void speed(float& sx, float& sy) const {
        float bx[4], by[4];
        bezier(bx, by);
        sx = 0.0f;
        sy = 0.0f;
        for (int k = 0; k < 3; ++k) {
            sx = std::max(sx, std::fabs(bx[k + 1] - bx[k]));
            sy = std::max(sy, std::fabs(by[k + 1] - by[k]));
        }
        sx *= 3.0f;
        sy *= 3.0f;
    }

    // The largest coordinate the segment uses.
    float scale() const {
        float m = std::max({std::fabs(x1), std::fabs(y1), std::fabs(x2), std::fabs(y2)});
        if (spline) m = std::max({m, std::fabs(x0), std::fabs(y0), std::fabs(x3), std::fabs(y3)});
        return m;
    }

    float length() const {
        const auto dist = [](float ax, float ay, float bx, float by) {
            return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
        };
        if (!spline) return dist(x1, y1, x2, y2);
        return (dist(x3, y3, x2, y2) + dist(x2, y2, x1, y1) + dist(x1, y1, x0, y0)) / 3.0f;
    }
};

Segment segmentOf(const ParticleChain& c, int i, const CanvasMapping& m, bool spline) {
    const float zr = m.zoomRatio;
    Segment s;
    s.x0 = c.nowX[i] * zr - m.canvasOffsetX;
    s.y0 = c.nowY[i] * zr - m.canvasOffsetY;
    s.x1 = c.lastX[i] * zr - m.canvasOffsetX;
    s.y1 = c.lastY[i] * zr - m.canvasOffsetY;
    s.x2 = c.last2X[i] * zr - m.canvasOffsetX;
    s.y2 = c.last2Y[i] * zr - m.canvasOffsetY;
    s.x3 = c.last3X[i] * zr - m.canvasOffsetX;
    s.y3 = c.last3Y[i] * zr - m.canvasOffsetY;
    s.spline = spline;
    return s;
}

// The fade and palette clock, advanced once per sample. Skipped samples
// (outside the canvas, or after the touched list filled up) still run the
// clock, so a stroke fades and ends the same wherever it is painted.
struct Clock {
    float fadeStep;
    float paletteStep;
    bool fading;    // f_fadez > 0
    bool pending;   // fading out
    bool timed;     // gradient colours that cycle with the clock
    float fade;
    float counter;
    int paletteIndex;
    bool ended = false;

    void tick(float share) {
        if (fading) {
            if (!pending) {
                fade = std::min(1.0f, fade + share * fadeStep);
            } else {
                fade = fade - share * fadeStep;
                if (fade < 0.0f) {
                    fade = 0.0f;
                    ended = true;
                }
            }
        }
        if (timed) {
            paletteIndex = paletteWrap(counter * paletteStep);
            counter += share;
        }
    }

    // n ticks of one sample each. Past the fade-in, with the counter on a
    // whole number a float still adds 1 to exactly, that is a jump.
    void ticks(int n) {
        if (n <= 0) return;
        const bool fadeStays = !fading || (!pending && fade == 1.0f);
        const bool counterExact =
            !timed || (counter == std::trunc(counter) && std::fabs(counter) + static_cast<float>(n) <= 16777216.0f);
        if (!fadeStays || !counterExact) {
            for (int i = 0; i < n; ++i) tick(1.0f);
            return;
        }
        if (timed) {
            const float last = counter + static_cast<float>(n - 1);
            paletteIndex = paletteWrap(last * paletteStep);
            counter = last + 1.0f;
        }
    }

    void skip(int64_t samples, float share) {
        if (samples <= 0) return;
        const double amount = static_cast<double>(share) * static_cast<double>(samples);
        if (fading) {
            const double change = amount * fadeStep;
            if (!pending) {
                fade = static_cast<float>(std::min(1.0, fade + change));
            } else {
                const double f = fade - change;
                if (f < 0.0) {
                    fade = 0.0f;
                    ended = true;
                } else {
                    fade = static_cast<float>(f);
                }
            }
        }
        if (timed) {
            const double last = counter + amount - share;
            paletteIndex = paletteWrap(static_cast<float>(last * paletteStep));
            counter = static_cast<float>(counter + amount);
        }
    }
};

struct Colour {
    int r, g, b;
};

struct ColourSource {
    const int* paletteR;
    const int* paletteG;
    const int* paletteB;
    int basicR, basicG, basicB;
    bool gradient;
    float opacity;

    Colour at(const Clock& clock) const {
        const float k = opacity * clock.fade;
        int r, g, b;
        if (gradient) {
            const int i = clock.paletteIndex;
            r = static_cast<int>(static_cast<float>(clampByte(paletteR[i])) * k);
            g = static_cast<int>(static_cast<float>(clampByte(paletteG[i])) * k);
            b = static_cast<int>(static_cast<float>(clampByte(paletteB[i])) * k);
        } else {
            r = static_cast<int>(static_cast<float>(basicR) * k);
            g = static_cast<int>(static_cast<float>(basicG) * k);
            b = static_cast<int>(static_cast<float>(basicB) * k);
        }
        return {r, g, b};
    }
};

int atLeastOne(int v) { return v < 1 ? 1 : v; }

// The box a line sample must lie in to reach a pixel, with room to spare.
struct SampleBox {
    float minX, maxX, minY, maxY;
    bool contains(float x, float y) const { return x >= minX && x <= maxX && y >= minY && y <= maxY; }
    bool meets(float x0, float x1, float y0, float y1) const {
        return x1 >= minX && x0 <= maxX && y1 >= minY && y0 <= maxY;
    }
};

void paintLine(const Segment& seg, const BrushSetup& su, const ColourSource& colours, Clock& clock, AccumRef& acc,
               const SampleBox& box) {
    // Points a hundred million pixels out are a chain that ran away; float
    // cannot place its samples to the pixel any more.
    const float scale = seg.scale();
    const bool paintable = seg.finite() && scale < 1e8f;
    float len = paintable ? seg.length() : 1.0f;
    if (!(len >= 1.0f) || !std::isfinite(len)) len = 1.0f;
    const float intensity = 100.0f / len + 1.0f;
    // At most 2^30 samples: beyond that the chain has run away and only the
    // clock matters.
    const int n = static_cast<int>(std::min(std::floor(2.0f * len), 1073741824.0f));
    const float share = static_cast<float>(su.steps) / static_cast<float>(n);
    const float dt = 1.0f / static_cast<float>(n);

    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    if (paintable) seg.hull(minX, maxX, minY, maxY);
    if (!paintable || acc.full() || !box.meets(minX, maxX, minY, maxY)) {
        clock.skip(n, share);
        return;
    }

    float speedX, speedY;
    seg.speed(speedX, speedY);
    if (!std::isfinite(speedX) || !std::isfinite(speedY)) {
        clock.skip(n, share);
        return;
    }

    // The colour changes only with the fade and the palette position.
    float colourFade = -1.0f;
    int colourIndex = -1;
    int r = 1, g = 1, b = 1;
    const auto splatAt = [&](float x, float y) {
        if (clock.fade != colourFade || clock.paletteIndex != colourIndex) {
            colourFade = clock.fade;
            colourIndex = clock.paletteIndex;
            const Colour c = colours.at(clock);
            r = atLeastOne(static_cast<int>(static_cast<float>(c.r) * intensity));
            g = atLeastOne(static_cast<int>(static_cast<float>(c.g) * intensity));
            b = atLeastOne(static_cast<int>(static_cast<float>(c.b) * intensity));
        }
        splat(acc, static_cast<int>(16.0f * x), static_cast<int>(16.0f * y), r, g, b);
    };

    if (box.contains(minX, minY) && box.contains(maxX, maxY)) {
        // The whole segment is over the canvas: no sample can fall off it.
        for (int j = 0; j < n; ++j) {
            if (acc.full()) {
                clock.skip(n - j, share);
                return;
            }
            clock.tick(share);
            float x, y;
            seg.at(dt * static_cast<float>(j), x, y);
            splatAt(x, y);
        }
        return;
    }

    // Room for the rounding of far-out points, so no skip jumps a sample
    // that would land on the canvas.
    const float slack = 1.0f + 1e-6f * scale;
    for (int j = 0; j < n;) {
        if (acc.full()) {
            clock.skip(n - j, share);
            return;
        }
        const float t = dt * static_cast<float>(j);
        clock.tick(share);
        float x, y;
        seg.at(t, x, y);
        if (box.contains(x, y)) {
            splatAt(x, y);
            ++j;
            continue;
        }
        // Outside: the curve moves at most speed * dt per sample, so the next
        // `ahead` samples cannot reach the box either.
        double ahead = 0.0;
        if (std::isfinite(x) && std::isfinite(y)) {
            const double outX = std::max<double>(box.minX - x, x - box.maxX) - slack;
            const double outY = std::max<double>(box.minY - y, y - box.maxY) - slack;
            const double perSampleX = static_cast<double>(speedX) * dt;
            const double perSampleY = static_cast<double>(speedY) * dt;
            if (outX > 0.0) ahead = std::max(ahead, perSampleX > 0.0 ? outX / perSampleX : 1e300);
            if (outY > 0.0) ahead = std::max(ahead, perSampleY > 0.0 ? outY / perSampleY : 1e300);
        }
        const int64_t rest = static_cast<int64_t>(n) - j - 1;
        const int64_t skipped = std::min<int64_t>(rest, toInt64(std::floor(ahead)));
        clock.skip(skipped, share);
        j += 1 + static_cast<int>(skipped);
    }
}

// Points of one particle's trail at t = s / steps, s = 0 .. steps - 1.
void trailPoints(const Segment& seg, int steps, float* xs, float* ys) {
    const float stepsF = static_cast<float>(steps);
    const float x0 = seg.x0, y0 = seg.y0, x1 = seg.x1, y1 = seg.y1;
    const float x2 = seg.x2, y2 = seg.y2, x3 = seg.x3, y3 = seg.y3;
    if (seg.spline) {
        for (int s = 0; s < steps; ++s) {
            const float t = static_cast<float>(s) / stepsF;
            xs[s] = curvePoint(x3, x2, x1, x0, t);
            ys[s] = curvePoint(y3, y2, y1, y0, t);
        }
    } else {
        for (int s = 0; s < steps; ++s) {
            const float t = static_cast<float>(s) / stepsF;
            xs[s] = x2 + (x1 - x2) * t;
            ys[s] = y2 + (y1 - y2) * t;
        }
    }
}

// Ribbon spans have 10 points per detail level.
constexpr int kMaxSubSteps = 40;

// How many of the points k = 1..n, at a + s * k, stay on the pixel v0 of
// the first one. The points move monotonically, so they form a prefix; the
// estimate from the pixel edge is corrected by evaluating the points.
inline int leadingSame(float a, float s, int n, int v0) {
    const auto pixel = [&](int k) { return static_cast<int>(a + s * static_cast<float>(k)); };
    const float edge = s > 0.0f ? static_cast<float>(v0 + 1) : static_cast<float>(v0);
    const float estimate = (edge - a) / s;
    int k = !(estimate >= 1.0f) ? 1 : (estimate >= static_cast<float>(n) ? n : static_cast<int>(estimate));
    while (k < n && pixel(k + 1) == v0) ++k;
    while (k > 1 && pixel(k) != v0) --k;
    return k;
}

// Ribbon hits go to a sink: sink.hit(ix, iy, count) adds `count` hits of
// the current colour to canvas pixel (ix, iy).

// Straight into the pixel's sums.
struct DirectSink {
    AccumRef& acc;
    Colour c;
    void hit(int ix, int iy, int count) { acc.addHits(ix + iy * acc.width, c.r, c.g, c.b, count); }
};

// A particle's ribbon hits the same few hundred pixels over and over: count
// the hits per pixel in a small grid over the ribbon's bounds and add
// colour * count once per pixel when the colour changes or the ribbon ends.
// Pixels get their entries at flush(), in the order they were first hit.
class GridSink {
public:
    static constexpr int kMaxCells = 1 << 16;

    explicit GridSink(AccumRef& acc) : acc_(acc) {
        // A cell is pending at most once: the list never outgrows the grid.
        static thread_local std::vector<int> counts(kMaxCells, 0);
        static thread_local std::vector<Pending> pending(kMaxCells);
        counts_ = counts.data();
        pending_ = pending.data();
    }
    ~GridSink() { flush(); }
    GridSink(const GridSink&) = delete;
    GridSink& operator=(const GridSink&) = delete;

    // Inclusive pixel bounds; false when they do not fit the grid.
    bool cover(int x0, int y0, int x1, int y1) {
        flush();
        const int64_t w = static_cast<int64_t>(x1) - x0 + 1;
        const int64_t h = static_cast<int64_t>(y1) - y0 + 1;
        if (w <= 0 || h <= 0 || w * h > kMaxCells) return false;
        x0_ = x0;
        y0_ = y0;
        w_ = static_cast<unsigned>(w);
        h_ = static_cast<unsigned>(h);
        return true;
    }

    void setColour(Colour c) {
        if (c.r == c_.r && c.g == c_.g && c.b == c_.b) return;
        flush();
        c_ = c;
    }

    size_t pending() const { return static_cast<size_t>(pendingCount_); }

    __attribute__((always_inline)) void hit(int ix, int iy, int count) {
        const unsigned cx = static_cast<unsigned>(ix - x0_);
        const unsigned cy = static_cast<unsigned>(iy - y0_);
        if (cx >= w_ || cy >= h_) {  // rounding at the bounds' edge
            outside(ix, iy, count);
            return;
        }
        const unsigned cell = cy * w_ + cx;
        if (counts_[cell] == 0) pending_[pendingCount_++] = {cell, ix + iy * acc_.width};
        counts_[cell] += count;
    }

    void flush() {
        for (int i = 0; i < pendingCount_; ++i) {
            const Pending& p = pending_[i];
            acc_.addHits(p.idx, c_.r, c_.g, c_.b, counts_[p.cell]);
            counts_[p.cell] = 0;
        }
        pendingCount_ = 0;
    }

private:
    struct Pending {
        unsigned cell;
        int idx;
    };

    __attribute__((noinline)) void outside(int ix, int iy, int count) {
        acc_.addHits(ix + iy * acc_.width, c_.r, c_.g, c_.b, count);
    }

    AccumRef& acc_;
    int* counts_;
    Pending* pending_;
    int pendingCount_ = 0;
    Colour c_{1, 1, 1};
    int x0_ = 0, y0_ = 0;
    unsigned w_ = 0, h_ = 0;
};

// One ribbon span: `sub` points from A + step to B, each hit unweighted.
// Points k = 1..sub are A + step * k; consecutive points on the same pixel
// go to the sink as one run. Both coordinates move monotonically along the
// span, so when the first and last points fall on the same pixel every
// point does.
template <class Sink>
inline void ribbonSpan(Sink& sink, const AccumRef& acc, float ax, float ay, float bx, float by, int sub) {
    const float subF = static_cast<float>(sub);
    const float sx = (bx - ax) / subF;
    const float sy = (by - ay) / subF;
    const float w = static_cast<float>(acc.width);
    const float h = static_cast<float>(acc.height);
    const auto pixelAt = [&](int k, int& ix, int& iy) {
        const float kf = static_cast<float>(k);
        const float qx = ax + sx * kf;
        const float qy = ay + sy * kf;
        if (!(qx > 0.0f && qx < w && qy > 0.0f && qy < h)) return false;
        ix = static_cast<int>(qx);
        iy = static_cast<int>(qy);
        return iy >= acc.rowMin && iy < acc.rowMax;
    };
    int x1 = 0, y1 = 0, xn = 0, yn = 0;
    if (pixelAt(1, x1, y1) && pixelAt(sub, xn, yn)) {
        if (x1 == xn && y1 == yn) {
            sink.hit(x1, y1, sub);
            return;
        }
        // Most spans are short: at most one pixel step on each axis. Then
        // there are at most three runs, split where each axis steps.
        if (std::abs(xn - x1) <= 1 && std::abs(yn - y1) <= 1) {
            const int kx = xn == x1 ? sub : leadingSame(ax, sx, sub, x1);
            const int ky = yn == y1 ? sub : leadingSame(ay, sy, sub, y1);
            const int b1 = std::min(kx, ky);
            const int b2 = std::max(kx, ky);
            sink.hit(x1, y1, b1);
            if (b2 > b1) {
                if (kx < ky) {
                    sink.hit(xn, y1, b2 - b1);
                } else {
                    sink.hit(x1, yn, b2 - b1);
                }
            }
            if (sub > b2) sink.hit(xn, yn, sub - b2);
            return;
        }
    }
#if defined(__SSE2__)
    // Every point's pixel as one key, row << 16 | column, or -1 off the
    // canvas or the band; four at a time, each compared with the point
    // before it: bit j of `starts` marks point j + 1 as the first of a run.
    // The point before k = 1 never matches.
    if (acc.width <= 65536 && acc.height <= 32768) {
        alignas(16) int keys[kMaxSubSteps + 4];
        const __m128 vax = _mm_set1_ps(ax), vay = _mm_set1_ps(ay);
        const __m128 vsx = _mm_set1_ps(sx), vsy = _mm_set1_ps(sy);
        const __m128 vw = _mm_set1_ps(w), zero = _mm_setzero_ps();
        // Whole rows: y >= rowMin is y > the float just below it; row 0 takes y > 0 only.
        const __m128 yLo = _mm_set1_ps(acc.rowMin > 0 ? std::nextafter(static_cast<float>(acc.rowMin), 0.0f) : 0.0f);
        const __m128 yHi = _mm_set1_ps(static_cast<float>(std::min(acc.rowMax, acc.height)));
        const __m128 four = _mm_set1_ps(4.0f);
        const __m128i ones = _mm_set1_epi32(-1);
        __m128 vk = _mm_setr_ps(1.0f, 2.0f, 3.0f, 4.0f);
        __m128i prev = _mm_set1_epi32(-2);
        uint64_t starts = 0;
        for (int k = 0; k < sub; k += 4) {
            const __m128 qx = _mm_add_ps(vax, _mm_mul_ps(vsx, vk));
            const __m128 qy = _mm_add_ps(vay, _mm_mul_ps(vsy, vk));
            const __m128i in = _mm_castps_si128(_mm_and_ps(_mm_and_ps(_mm_cmpgt_ps(qx, zero), _mm_cmplt_ps(qx, vw)),
                                                           _mm_and_ps(_mm_cmpgt_ps(qy, yLo), _mm_cmplt_ps(qy, yHi))));
            const __m128i key = _mm_or_si128(
                _mm_or_si128(_mm_slli_epi32(_mm_cvttps_epi32(qy), 16), _mm_cvttps_epi32(qx)), _mm_xor_si128(in, ones));
            _mm_store_si128(reinterpret_cast<__m128i*>(keys + k), key);
            // The lanes one point earlier: the last lane of the previous four, then these.
            const __m128i before = _mm_or_si128(_mm_slli_si128(key, 4), _mm_srli_si128(prev, 12));
            const __m128i same = _mm_cmpeq_epi32(key, before);
            starts |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(same))) ^ 0xFu)
                      << k;
            prev = key;
            vk = _mm_add_ps(vk, four);
        }
        starts &= (UINT64_C(1) << sub) - 1;
        while (starts) {
            const int j = __builtin_ctzll(starts);
            starts &= starts - 1;
            const int end = starts ? __builtin_ctzll(starts) : sub;
            const int key = keys[j];
            if (key >= 0) sink.hit(key & 0xFFFF, key >> 16, end - j);
        }
        return;
    }
#endif
    int runX = -1, runY = -1;
    int runLen = 0;
    for (int k = 1; k <= sub; ++k) {
        int ix, iy;
        if (!pixelAt(k, ix, iy)) continue;
        if (ix == runX && iy == runY) {
            ++runLen;
            continue;
        }
        if (runLen > 0) sink.hit(runX, runY, runLen);
        runX = ix;
        runY = iy;
        runLen = 1;
    }
    if (runLen > 0) sink.hit(runX, runY, runLen);
}

constexpr int kMaxRibbonSteps = 400;

struct RibbonRow {
    float x[kMaxRibbonSteps];
    float y[kMaxRibbonSteps];
    int particle = -1;
};

void paintRibbon(const Segment& segK, const Segment& segPrev, int k, RibbonRow*& rowK, RibbonRow*& rowPrev,
                 const BrushSetup& su, const ColourSource& colours, Clock& clock, AccumRef& acc) {
    const int steps = su.steps;
    bool reachable = segK.finite() && segPrev.finite() && !acc.full();
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    if (reachable) {
        float aMinX, aMaxX, aMinY, aMaxY, bMinX, bMaxX, bMinY, bMaxY;
        segK.hull(aMinX, aMaxX, aMinY, aMaxY);
        segPrev.hull(bMinX, bMaxX, bMinY, bMaxY);
        minX = std::min(aMinX, bMinX);
        maxX = std::max(aMaxX, bMaxX);
        minY = std::min(aMinY, bMinY);
        maxY = std::max(aMaxY, bMaxY);
        reachable = maxX > 0.0f && minX < static_cast<float>(acc.width) && maxY > 0.0f &&
                    minY < static_cast<float>(acc.height);
    }
    if (!reachable) {
        clock.skip(steps, 1.0f);
        return;
    }
    // Rows outside the band are another thread's. The margin takes the
    // rounding of the trail and span points, which grows with the coordinates.
    const float margin = 2.0f + 1e-5f * std::max(segK.scale(), segPrev.scale());
    const float bandLo = static_cast<float>(acc.rowMin) - margin;
    const float bandHi = static_cast<float>(acc.rowMax) + margin;
    if (maxY < bandLo || minY >= bandHi) {
        clock.ticks(steps);
        return;
    }
    const auto missesBand = [&](int s) {
        const float ya = rowK->y[s], yb = rowPrev->y[s];
        return !(std::max(ya, yb) >= bandLo && std::min(ya, yb) < bandHi);
    };
    // Particle K's points become K + 1's "previous" row.
    std::swap(rowK, rowPrev);
    if (rowPrev->particle != k - 1) {
        trailPoints(segPrev, steps, rowPrev->x, rowPrev->y);
        rowPrev->particle = k - 1;
    }
    trailPoints(segK, steps, rowK->x, rowK->y);
    rowK->particle = k;

    // The colour changes only with the fade and the palette position.
    float colourFade = -1.0f;
    int colourIndex = -1;
    Colour c{1, 1, 1};
    const auto nextColour = [&] {
        if (clock.fade == colourFade && clock.paletteIndex == colourIndex) return false;
        colourFade = clock.fade;
        colourIndex = clock.paletteIndex;
        const Colour raw = colours.at(clock);
        c = {atLeastOne(raw.r), atLeastOne(raw.g), atLeastOne(raw.b)};
        return true;
    };

    // The ribbon lies within the hulls of both trails; a pixel of margin
    // on each side takes the rounding of the span points.
    GridSink grid(acc);
    const int gx0 = std::max(0, static_cast<int>(std::max(minX, 0.0f)) - 1);
    const int gy0 = std::max(acc.rowMin, static_cast<int>(std::max(minY, 0.0f)) - 1);
    const int gx1 = std::min(acc.width - 1, static_cast<int>(std::min(maxX, 2e9f)) + 1);
    const int gy1 = std::min(acc.rowMax - 1, static_cast<int>(std::min(maxY, 2e9f)) + 1);
    if (grid.cover(gx0, gy0, gx1, gy1)) {
        for (int s = 0; s < steps; ++s) {
            // Pending pixels count as touched: flush them before the list
            // could overflow, and stop once it is full.
            if (acc.touchedCount + static_cast<int64_t>(grid.pending()) > acc.limit) {
                grid.flush();
                if (acc.full()) {
                    clock.skip(steps - s, 1.0f);
                    return;
                }
            }
            clock.tick(1.0f);
            if (missesBand(s)) continue;
            if (nextColour()) grid.setColour(c);
            ribbonSpan(grid, acc, rowK->x[s], rowK->y[s], rowPrev->x[s], rowPrev->y[s], su.subSteps);
        }
        return;
    }
    DirectSink direct{acc, c};
    for (int s = 0; s < steps; ++s) {
        if (acc.full()) {
            clock.skip(steps - s, 1.0f);
            return;
        }
        clock.tick(1.0f);
        if (missesBand(s)) continue;
        if (nextColour()) direct.c = c;
        ribbonSpan(direct, acc, rowK->x[s], rowK->y[s], rowPrev->x[s], rowPrev->y[s], su.subSteps);
    }
}

// Widens `dirty` over every drawn particle's trail segment (the whole hull,
// end point included), plus the margin of 0.5 * zoomRatio + 5.
void widenDirty(const ParticleChain& chain, int count, const CanvasMapping& m, bool spline, int width, int height,
                DirtyRect& dirty) {
    float minX = kNoPoint, maxX = -kNoPoint, minY = kNoPoint, maxY = -kNoPoint;
    for (int i = 0; i < count; ++i) {
        const Segment seg = segmentOf(chain, i, m, spline);
        if (!seg.finite()) continue;
        float a, b, c, d;
        seg.hull(a, b, c, d);
        minX = std::min(minX, a);
        maxX = std::max(maxX, b);
        minY = std::min(minY, c);
        maxY = std::max(maxY, d);
    }
    if (minX > maxX || minY > maxY) return;
    // Far outside the canvas only the side matters; keep the ints sane.
    const float limitX = 4.0f * static_cast<float>(width) + 1024.0f;
    const float limitY = 4.0f * static_cast<float>(height) + 1024.0f;
    const auto bound = [](float v, float limit) { return static_cast<int>(std::min(std::max(v, -limit), limit)); };
    const double margin = 0.5 * m.zoomRatio + 5.0;
    const int x0 = static_cast<int>(bound(minX, limitX) - margin);
    const int x1 = static_cast<int>(bound(maxX, limitX) + margin);
    const int y0 = static_cast<int>(bound(minY, limitY) - margin);
    const int y1 = static_cast<int>(bound(maxY, limitY) + margin);
    dirty.dirtyMinX = std::min(dirty.dirtyMinX, x0);
    dirty.dirtyMaxX = std::max(dirty.dirtyMaxX, x1);
    dirty.dirtyMinY = std::min(dirty.dirtyMinY, y0);
    dirty.dirtyMaxY = std::max(dirty.dirtyMaxY, y1);
}

bool fits(const canvas::PixelSpan& s, int width, int height) {
    return s.px && s.w == width && s.h == height && (s.bpp == 3 || s.bpp == 4);
}

}  // namespace

int defaultPaintBands() {
    return std::min(std::max(rowsplit::threads(), 1), kMaxPaintBands);
}

PaintAccumulator::PaintAccumulator()
    : touchedPixels(kTouchedCapacity, 0),
      accumR(kTouchedCapacity, 0),
      accumG(kTouchedCapacity, 0),
      accumB(kTouchedCapacity, 0),
      bands(defaultPaintBands()) {}


bool PaintAccumulator::allocateMap(int width, int height) {
    releaseMap();
    if (width <= 0 || height <= 0) return false;
    if (static_cast<int64_t>(width) * height > INT_MAX) return false;
    try {
        pixelMap.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        releaseMap();
        return false;
    }
    map = pixelMap.data();
    canvasWidth = width;
    canvasHeight = height;
    touchedCount = 1;
    return true;
}

bool PaintAccumulator::attachMap(int* attached, int width, int height) {
    releaseMap();
    if (!attached || width <= 0 || height <= 0) return false;
    if (static_cast<int64_t>(width) * height > INT_MAX) return false;
    map = attached;
    canvasWidth = width;
    canvasHeight = height;
    touchedCount = 1;
    return true;
}

void PaintAccumulator::releaseMap() {
    std::vector<int>().swap(pixelMap);
    map = nullptr;
    canvasWidth = 0;
    canvasHeight = 0;
    touchedCount = 1;
}

PaintSettings snapshotPaintSettings() {
    PaintSettings s;
    s.perpixelz = f_perpixelz.load(std::memory_order_relaxed) == 1 ? 1 : 0;
    const float time = f_perpixelzTime.load(std::memory_order_relaxed);
    s.perpixelzTime = std::isfinite(time) ? std::min(std::max(time, -1e6f), 1e6f) : 0.0f;
    s.additive = f_additive.load(std::memory_order_relaxed);
    s.showBcg = f_showBcg.load(std::memory_order_relaxed);
    s.bcgR = clampByte(f_bcgR.load(std::memory_order_relaxed));
    s.bcgG = clampByte(f_bcgG.load(std::memory_order_relaxed));
    s.bcgB = clampByte(f_bcgB.load(std::memory_order_relaxed));
    return s;
}

BrushSetup brushSetupFor(const BrushParams& params, float perpixelzTime, float zoomRatio) {
    const BrushParams p = clampBrushParams(params);
    const double zr = zoomRatio;
    const double base = 0.1 * p.opacityz + 0.5;
    const double opacity = base * base * 3.0 * zr;
    BrushSetup su{};
    if (!p.fillz) {
        su.shift = 12;
        su.steps = 1000;
        su.subSteps = 0;
        su.fadeStep = p.fadez / 50000.0f;
        su.paletteStep = perpixelzTime / 200.0f;
        su.opacity = static_cast<float>(opacity);
        su.firstParticle = 1;
        su.particleStep = p.partStep;
    } else {
        const int d = p.paintDetail;
        su.shift = d + 12;
        su.steps = 100 * d;
        su.subSteps = su.steps / 10;
        su.fadeStep = p.fadez / (5000.0f * static_cast<float>(d));
        su.paletteStep = perpixelzTime / (20.0f * static_cast<float>(d));
        su.opacity = static_cast<float>(opacity * (0.2 * zr + 0.8));
        su.firstParticle = 2;
        su.particleStep = 1;
    }
    return su;
}

bool beginStrokeFrame(int& strokeState, StrokeProgress& progress, const BrushParams& params) {
    if (strokeState != 1) return false;
    strokeState = 2;
    progress.paletteCounter = 0.0f;
    progress.strokeEndPending = false;
    if (!(params.fadez > 0.0f)) {
        progress.fadeFactor = 1.0f;
        progress.fadeFactorSaved = 1.0f;
    }
    return true;
}

void drawPoint3(PaintAccumulator& accum, int x, int y, int r, int g, int b) {
    if (!accum.map) return;
    AccumRef acc(accum);
    splat(acc, x, y, r, g, b);
    accum.touchedCount = acc.touchedCount;
}

void drawRibbonSpan(PaintAccumulator& accum, float ax, float ay, float bx, float by, int subSteps, int r, int g,
                    int b) {
    if (!accum.map || subSteps < 1 || subSteps > kMaxSubSteps) return;
    AccumRef acc(accum);
    if (acc.full()) return;
    DirectSink sink{acc, {r, g, b}};
    ribbonSpan(sink, acc, ax, ay, bx, by, subSteps);
    accum.touchedCount = acc.touchedCount;
}

namespace {

// The composite of entries first..end-1; the layers fit the canvas.
void compositeEntries(PaintAccumulator& accum, int first, int end, const CanvasLayers& layers,
                      const PaintSettings& settings, int shift) {
    const int count = end;
    const canvas::PixelSpan& back = layers.back;
    const bool withBack = settings.showBcg && fits(back, accum.canvasWidth, accum.canvasHeight);

    unsigned char* front = layers.front.px;
    unsigned char* display = layers.display.px;
    const unsigned char* backPx = back.px;
    const size_t fbpp = static_cast<size_t>(layers.front.bpp);
    const size_t dbpp = static_cast<size_t>(layers.display.bpp);
    const size_t bbpp = static_cast<size_t>(back.bpp);
    const bool alpha = layers.front.bpp == 4;
    const int bgR = settings.bcgR, bgG = settings.bcgG, bgB = settings.bcgB;
    const bool additive = settings.additive;

    int* pixelMap = accum.map;
    const int* touched = accum.touchedPixels.data();
    int* sumR = accum.accumR.data();
    int* sumG = accum.accumG.data();
    int* sumB = accum.accumB.data();
    constexpr int kAhead = 16;
    for (int e = first; e < count; ++e) {
        // The entries lie scattered over the canvas: fetch a few ahead.
        if (e + kAhead < count) {
            const size_t next = static_cast<size_t>(touched[e + kAhead]);
            __builtin_prefetch(pixelMap + next, 1);
            __builtin_prefetch(front + next * fbpp, 1);
            __builtin_prefetch(display + next * dbpp, 1);
            if (withBack) __builtin_prefetch(backPx + next * bbpp, 0);
        }
        const int idx = touched[e];
        const int addR = std::max(sumR[e] >> shift, 0);
        const int addG = std::max(sumG[e] >> shift, 0);
        const int addB = std::max(sumB[e] >> shift, 0);
        unsigned char* f = front + static_cast<size_t>(idx) * fbpp;
        int r, g, b;
        if (additive) {
            r = std::min(255, f[0] + addR);
            g = std::min(255, f[1] + addG);
            b = std::min(255, f[2] + addB);
        } else {
            r = std::max(0, f[0] - addR);
            g = std::max(0, f[1] - addG);
            b = std::max(0, f[2] - addB);
        }
        f[0] = static_cast<unsigned char>(r);
        f[1] = static_cast<unsigned char>(g);
        f[2] = static_cast<unsigned char>(b);
        if (alpha) f[3] = static_cast<unsigned char>(alphaFromBackground(r, g, b, bgR, bgG, bgB));
        unsigned char* d = display + static_cast<size_t>(idx) * dbpp;
        if (withBack) {
            const unsigned char* k = backPx + static_cast<size_t>(idx) * bbpp;
            d[0] = overBackground(k[0], r, bgR);
            d[1] = overBackground(k[1], g, bgG);
            d[2] = overBackground(k[2], b, bgB);
        } else {
            d[0] = static_cast<unsigned char>(r);
            d[1] = static_cast<unsigned char>(g);
            d[2] = static_cast<unsigned char>(b);
        }
        pixelMap[idx] = 0;
        sumR[e] = 0;
        sumG[e] = 0;
        sumB[e] = 0;
    }
}

}  // namespace

int compositeTouched(PaintAccumulator& accum, const CanvasLayers& layers, const PaintSettings& settings, int shift) {
    const int count = accum.touchedCount;
    if (count <= 1) return 0;
    if (!fits(layers.front, accum.canvasWidth, accum.canvasHeight) ||
        !fits(layers.display, accum.canvasWidth, accum.canvasHeight))
        return 0;
    compositeEntries(accum, 1, count, layers, settings, shift);
    return count - 1;
}

namespace {

// What every painter of a frame starts from: the clamped brush, its set-up,
// the colours and the clock at the frame's start.
struct FramePlan {
    BrushParams p;
    CanvasMapping map;
    BrushSetup su;
    float time;
    float fadeSaved;
    Clock clock;
    ColourSource source;
};

FramePlan planFrame(const BrushParams& params, const PaintSettings& settings, const PaintColours& colours,
                    const CanvasMapping& mapping, const StrokeProgress& progress) {
    static const int kNoPalette[kPaletteLast] = {};
    FramePlan f{};
    f.p = clampBrushParams(params);
    f.map = mapping;
    if (!(f.map.zoomRatio > 0.0f) || !std::isfinite(f.map.zoomRatio)) f.map.zoomRatio = 1.0f;
    f.time = std::isfinite(settings.perpixelzTime) ? settings.perpixelzTime : 0.0f;
    f.su = brushSetupFor(f.p, f.time, f.map.zoomRatio);
    f.fadeSaved = progress.fadeFactorSaved;

    Clock& clock = f.clock;
    clock.fadeStep = f.su.fadeStep;
    clock.paletteStep = f.su.paletteStep;
    clock.fading = f.p.fadez > 0.0f;
    clock.pending = progress.strokeEndPending;
    clock.timed = settings.perpixelz == 1 && f.time != 0.0f;
    clock.fade = progress.fadeFactor;
    clock.counter = progress.paletteCounter;
    clock.paletteIndex = std::min(std::max(progress.paletteIndex, 0), kPaletteLast - 1);

    ColourSource& source = f.source;
    source.gradient = settings.perpixelz == 1;
    source.paletteR = colours.paletteR ? colours.paletteR : kNoPalette;
    source.paletteG = colours.paletteG ? colours.paletteG : kNoPalette;
    source.paletteB = colours.paletteB ? colours.paletteB : kNoPalette;
    source.basicR = clampByte(colours.paletteBasicR);
    source.basicG = clampByte(colours.paletteBasicG);
    source.basicB = clampByte(colours.paletteBasicB);
    source.opacity = f.su.opacity;
    return f;
}

// Paints every particle of the frame into `acc` (within its rows) and
// returns the clock after them.
Clock paintParticles(const ParticleChain& chain, const FramePlan& f, AccumRef& acc) {
    const BrushSetup& su = f.su;
    const int count = f.p.partNum;
    Clock clock = f.clock;
    const SampleBox box{-2.0f, static_cast<float>(acc.width) + 2.0f, -2.0f, static_cast<float>(acc.height) + 2.0f};
    RibbonRow rows[2];
    RibbonRow* rowK = &rows[0];
    RibbonRow* rowPrev = &rows[1];
    int painted = 0;
    for (int k = su.firstParticle; k < count; k += su.particleStep) {
        clock.fade = f.fadeSaved;
        if (f.time == 0.0f) clock.paletteIndex = (k - 1) * kPaletteLast / count;
        const Segment seg = segmentOf(chain, k, f.map, f.p.spline);
        if (f.p.fillz) {
            paintRibbon(seg, segmentOf(chain, k - 1, f.map, f.p.spline), k, rowK, rowPrev, su, f.source, clock, acc);
        } else {
            paintLine(seg, su, f.source, clock, acc, box);
        }
        clock.counter -= static_cast<float>(su.steps);
        ++painted;
    }
    if (painted == 0) {
        // A chain too short to paint still runs its clock, so a release
        // still fades the stroke out and ends it.
        clock.fade = f.fadeSaved;
        clock.skip(su.steps, 1.0f);
    }
    return clock;
}

// Carries the frame's clock over to the next frame and reports the end.
BrushStepResult finishFrame(const FramePlan& f, const Clock& clock, StrokeProgress& progress, int& redrawMode) {
    BrushStepResult result;
    progress.fadeFactor = clock.fade;
    progress.fadeFactorSaved = clock.fade;
    progress.paletteIndex = clock.paletteIndex;
    float counter = clock.counter + static_cast<float>(f.su.steps);
    // Keep the clock where a float still resolves one sample: wrap it by
    // whole palette periods (or drop it when it indexes nothing).
    if (std::fabs(counter) > 4194304.0f) {
        if (clock.timed && f.su.paletteStep != 0.0f) {
            const double period = static_cast<double>(kPaletteLast) / std::fabs(f.su.paletteStep);
            counter = static_cast<float>(std::fmod(static_cast<double>(counter), period));
        } else {
            counter = 0.0f;
        }
    }
    progress.paletteCounter = counter;

    // A release without fading ends the stroke at once; should it reach here
    // anyway, end it rather than leave the slot busy.
    if (clock.ended || (progress.strokeEndPending && !clock.fading)) {
        result.strokeEnded = true;
        redrawMode = 2;
    }
    result.shift = f.su.shift;
    return result;
}

// A band is worth a thread's wake-up only when it has this many rows of ribbons.
constexpr int kMinBandRows = 48;

// Splits the canvas rows into up to `bands` bands of about equal work: each
// ribbon's work is spread evenly over the rows its hull covers. Band i is
// rows edges[i]..edges[i + 1]-1; the first starts at row 0, the last ends
// at the canvas's last row. Returns the number of bands, 0 when no ribbon
// reaches the canvas's rows.
int splitRows(const ParticleChain& chain, const FramePlan& f, int height, int bands, std::vector<int>& edges) {
    static thread_local std::vector<double> density;
    density.assign(static_cast<size_t>(height) + 1, 0.0);
    double total = 0.0;
    int first = height, last = -1;
    for (int k = f.su.firstParticle; k < f.p.partNum; k += f.su.particleStep) {
        const Segment a = segmentOf(chain, k, f.map, f.p.spline);
        const Segment b = segmentOf(chain, k - 1, f.map, f.p.spline);
        if (!a.finite() || !b.finite()) continue;
        float aMinX, aMaxX, aMinY, aMaxY, bMinX, bMaxX, bMinY, bMaxY;
        a.hull(aMinX, aMaxX, aMinY, aMaxY);
        b.hull(bMinX, bMaxX, bMinY, bMaxY);
        const float lo = std::max(std::min(aMinY, bMinY), 0.0f);
        const float hi = std::min(std::max(aMaxY, bMaxY), static_cast<float>(height - 1));
        if (!(lo <= hi)) continue;
        const int r0 = static_cast<int>(lo);
        const int r1 = static_cast<int>(hi);
        first = std::min(first, r0);
        last = std::max(last, r1);
        const double w = 1.0 / (r1 - r0 + 1);
        density[static_cast<size_t>(r0)] += w;
        density[static_cast<size_t>(r1) + 1] -= w;
        total += 1.0;
    }
    if (!(total > 0.0)) return 0;
    bands = std::max(1, std::min(bands, (last - first + 1) / kMinBandRows));
    edges.assign(static_cast<size_t>(bands) + 1, height);
    edges[0] = 0;
    double perRow = 0.0, sum = 0.0;
    int band = 1;
    for (int r = 0; r < height && band < bands; ++r) {
        perRow += density[static_cast<size_t>(r)];
        sum += perRow;
        while (band < bands && sum >= total * band / bands) edges[static_cast<size_t>(band++)] = r + 1;
    }
    return bands;
}

// Ribbon frames are painted in bands of rows, one per thread: every band
// walks all ribbons in their order and keeps the points on its rows, in its
// own part of the touched list; then every band composites its own pixels.
// A pixel's sum is the same whichever thread adds it, so the canvas is the
// same as painted in one pass. Should a band run out of entries, the frame
// is painted again in one pass, which then drops paint exactly as it would
// have without bands; so is a frame whose ribbons all lie off the canvas or
// within a few rows.
bool paintInBands(const ParticleChain& chain, const FramePlan& f, const CanvasLayers& layers,
                  const PaintSettings& settings, PaintAccumulator& accum, Clock& clock, int& touched) {
    static thread_local std::vector<int> edges;
    const int bands =
        splitRows(chain, f, accum.canvasHeight, std::min({accum.bands, accum.canvasHeight, kMaxPaintBands}), edges);
    if (bands < 2) return false;

    struct Band {
        int rowMin, rowMax;
        int first, limit;  // its entries: first..limit + 40
        int end = 0;       // the next free entry after painting
        Clock clock{};
    };
    std::vector<Band> parts(static_cast<size_t>(bands));
    // Entries 1..kTouchedLimit - 1 shared out: a frame that fits them all
    // never fills the list when painted in one pass.
    const int share = (kTouchedLimit - 1) / bands;
    for (int i = 0; i < bands; ++i) {
        Band& b = parts[static_cast<size_t>(i)];
        b.rowMin = edges[static_cast<size_t>(i)];
        b.rowMax = edges[static_cast<size_t>(i) + 1];
        b.first = 1 + i * share;
        b.limit = b.first + share - 41;
    }
    const auto eachBand = [&](const std::function<void(int)>& job) {
        rowsplit::forRows(0, bands, [&](int from, int to) {
            for (int i = from; i < to; ++i) job(i);
        });
    };
    eachBand([&](int i) {
        Band& b = parts[static_cast<size_t>(i)];
        AccumRef acc(accum);
        acc.rowMin = b.rowMin;
        acc.rowMax = b.rowMax;
        acc.touchedCount = b.first;
        acc.limit = b.limit;
        b.clock = paintParticles(chain, f, acc);
        b.end = acc.touchedCount;
    });
    bool overflow = false;
    for (const Band& b : parts) overflow = overflow || b.end > b.limit;
    if (overflow) {
        for (const Band& b : parts) {
            for (int e = b.first; e < b.end; ++e) {
                accum.map[accum.touchedPixels[e]] = 0;
                accum.accumR[e] = accum.accumG[e] = accum.accumB[e] = 0;
            }
        }
        return false;
    }
    eachBand([&](int i) {
        const Band& b = parts[static_cast<size_t>(i)];
        compositeEntries(accum, b.first, b.end, layers, settings, f.su.shift);
    });
    // The list ends up as one pass leaves it: entries 1..touched, band by band.
    int next = 1;
    for (const Band& b : parts) {
        std::memmove(accum.touchedPixels.data() + next, accum.touchedPixels.data() + b.first,
                     static_cast<size_t>(b.end - b.first) * sizeof(int));
        next += b.end - b.first;
    }
    touched = next - 1;
    clock = parts[0].clock;
    return true;
}

}  // namespace

BrushStepResult paintTrails(const ParticleChain& chain, const BrushParams& params, const PaintSettings& settings,
                            const PaintColours& colours, const CanvasMapping& mapping, StrokeProgress& progress,
                            PaintAccumulator& accum, DirtyRect& dirty, int& redrawMode) {
    accum.touchedCount = 1;
    if (!accum.map) return BrushStepResult{};
    if (redrawMode < 1) redrawMode = 1;
    const FramePlan f = planFrame(params, settings, colours, mapping, progress);
    widenDirty(chain, f.p.partNum, f.map, f.p.spline, accum.canvasWidth, accum.canvasHeight, dirty);
    AccumRef acc(accum);
    const Clock clock = paintParticles(chain, f, acc);
    accum.touchedCount = acc.touchedCount;
    return finishFrame(f, clock, progress, redrawMode);
}

BrushStepResult brushStep(const ParticleChain& chain, const BrushParams& params, const PaintSettings& settings,
                          const PaintColours& colours, const CanvasMapping& mapping, const CanvasLayers& layers,
                          StrokeProgress& progress, PaintAccumulator& accum, DirtyRect& dirty, int& redrawMode) {
    accum.touchedCount = 1;
    const int width = accum.canvasWidth;
    const int height = accum.canvasHeight;
    if (!accum.map || !fits(layers.front, width, height) || !fits(layers.display, width, height)) {
        return BrushStepResult{};
    }
    // Strokes move on smoothly: a frame after a small one is small too and
    // not worth waking threads for.
    const bool spread = accum.lastPainted >= kBandMinPixels;
    if (accum.bands > 1 && spread && height > 1 && clampBrushParams(params).fillz) {
        if (redrawMode < 1) redrawMode = 1;
        const FramePlan f = planFrame(params, settings, colours, mapping, progress);
        widenDirty(chain, f.p.partNum, f.map, f.p.spline, width, height, dirty);
        Clock clock{};
        int touched = 0;
        if (paintInBands(chain, f, layers, settings, accum, clock, touched)) {
            BrushStepResult result = finishFrame(f, clock, progress, redrawMode);
            accum.touchedCount = 1 + touched;
            result.touchedEntries = touched;
            accum.lastPainted = touched;
            return result;
        }
    }
    BrushStepResult result =
        paintTrails(chain, params, settings, colours, mapping, progress, accum, dirty, redrawMode);
    result.touchedEntries = compositeTouched(accum, layers, settings, result.shift);
    accum.lastPainted = result.touchedEntries;
    return result;
}
