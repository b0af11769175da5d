// Stroke painting kernels: brush set-up, dirty rectangle, line splats,
// ribbons, the fade and palette clock, and the composite pass.

#include "stroke.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "WyrleGlobals.h"

namespace {

constexpr float kNoPoint = 1e30f;

int clampByte(int v) { return std::min(std::max(v, 0), 255); }

// Float to int without undefined behaviour: NaN gives 0, the rest saturates.
int64_t toInt64(double v) {
    if (!(v == v)) return 0;
    if (v >= 9.0e18) return INT64_C(9000000000000000000);
    if (v <= -9.0e18) return -INT64_C(9000000000000000000);
    return static_cast<int64_t>(v);
}

// trunc(position) mod kPaletteLast, never negative. Runs once per sample,
// so it divides by multiplying (exact well beyond the float range used).
int paletteWrap(float position) {
    const int64_t i = toInt64(position);
    if (i >= 0 && i < kPaletteLast) return static_cast<int>(i);
    int64_t r = i - static_cast<int64_t>(static_cast<double>(i) * (1.0 / kPaletteLast)) * kPaletteLast;
    if (r < 0) r += kPaletteLast;
    if (r >= kPaletteLast) r -= kPaletteLast;
    return static_cast<int>(r);
}

// Raw pointers into the accumulator, so the hot loops see no vector
// indirection and no aliasing through the struct.
struct AccumRef {
    int* pixelMap;
    int* touchedPixels;
    int* accumR;
    int* accumG;
    int* accumB;
    int touchedCount;
    int width;
    int height;

    explicit AccumRef(PaintAccumulator& a)
        : pixelMap(a.pixelMap.data()),
          touchedPixels(a.touchedPixels.data()),
          accumR(a.accumR.data()),
          accumG(a.accumG.data()),
          accumB(a.accumB.data()),
          touchedCount(a.touchedCount),
          width(a.canvasWidth),
          height(a.canvasHeight) {}

    bool full() const { return touchedCount > kTouchedLimit; }

    template <class Curve>
    void prefetchAlong(const Curve& seg, int n) const {
        const int step = 4;
        const int count = std::min(n / step + 1, 256);
        const float dt = 1.0f / static_cast<float>(count);
        for (int i = 0; i <= count; ++i) {
            float x, y;
            seg.at(dt * static_cast<float>(i), x, y);
            const int ix = static_cast<int>(x), iy = static_cast<int>(y);
            if (ix < 0 || iy < 0 || ix >= width || iy + 1 >= height) continue;
            const int* p = pixelMap + static_cast<size_t>(iy) * width + ix;
            __builtin_prefetch(p, 1);
            __builtin_prefetch(p + width, 1);
        }
    }

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

    // count unweighted hits of one colour (ribbons).
    void addHits(int idx, int r, int g, int b, int count) {
        const int e = entryFor(idx);
        addSat(accumR[e], static_cast<int64_t>(r) * count);
        addSat(accumG[e], static_cast<int64_t>(g) * count);
        addSat(accumB[e], static_cast<int64_t>(b) * count);
    }

};

// Line splats, each weighted over the 2 x 2 pixels below and right of its
// point (w = 1 - d^2 / 256 with d in 1/16 pixels, a whole number of 256ths,
// so integer sums are exact). Consecutive samples of a line mostly land on
// the same 2 x 2 block, so the block's entries and sums are kept here and
// written back when the block changes or at flush().
class Splatter {
public:
    explicit Splatter(AccumRef& acc) : acc_(acc) {}
    ~Splatter() { flush(); }
    Splatter(const Splatter&) = delete;
    Splatter& operator=(const Splatter&) = delete;

    void splat(int x, int y, int r, int g, int b) {
        if (acc_.full()) return;
        const int px = x >> 4;
        const int py = y >> 4;
        if (px != blockX_ || py != blockY_) load(px, py);
        const int fx = 16 * px - x;
        const int fy = 16 * py - y;
        for (int k = 0; k < 4; ++k) {
            const int dx = 16 * (k & 1) + fx;
            const int dy = 16 * (k >> 1) + fy;
            const int d2 = dx * dx + dy * dy;
            // Weightless pixels get no entry; adding 0 to a slot without
            // one changes nothing, so only the first touch branches.
            const int64_t w = d2 < 256 ? 256 - d2 : 0;
            if (entry_[k] == 0 && w > 0 && idx_[k] >= 0) attach(k);
            sumR_[k] += (r * w) >> 8;
            sumG_[k] += (g * w) >> 8;
            sumB_[k] += (b * w) >> 8;
        }
    }

    void flush() {
        for (int k = 0; k < 4; ++k) {
            const int e = entry_[k];
            if (e == 0) continue;
            acc_.accumR[e] = saturate(sumR_[k]);
            acc_.accumG[e] = saturate(sumG_[k]);
            acc_.accumB[e] = saturate(sumB_[k]);
            entry_[k] = 0;
        }
    }

private:
    static int saturate(int64_t v) { return v > INT_MAX ? INT_MAX : static_cast<int>(v); }

    void attach(int k) {
        const int e = acc_.entryFor(idx_[k]);
        entry_[k] = e;
        sumR_[k] = acc_.accumR[e];
        sumG_[k] = acc_.accumG[e];
        sumB_[k] = acc_.accumB[e];
    }

    // Row and column 0 never take line paint. Pixels that already have an
    // entry this frame are picked up at once.
    void load(int px, int py) {
        flush();
        blockX_ = px;
        blockY_ = py;
        for (int k = 0; k < 4; ++k) {
            const int xx = px + (k & 1);
            const int yy = py + (k >> 1);
            const bool inside = xx > 0 && yy > 0 && xx < acc_.width && yy < acc_.height;
            idx_[k] = inside ? xx + yy * acc_.width : -1;
            const int e = inside ? acc_.pixelMap[idx_[k]] : 0;
            entry_[k] = e;
            sumR_[k] = acc_.accumR[e];
            sumG_[k] = acc_.accumG[e];
            sumB_[k] = acc_.accumB[e];
        }
    }

    AccumRef& acc_;
    int blockX_ = INT_MIN;
    int blockY_ = INT_MIN;
    int idx_[4] = {-1, -1, -1, -1};
    int entry_[4] = {0, 0, 0, 0};
    int64_t sumR_[4] = {};
    int64_t sumG_[4] = {};
    int64_t sumB_[4] = {};
};

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
    const bool paintable = seg.finite();
    float len = paintable ? seg.length() : 1.0f;
    if (!(len >= 1.0f) || !std::isfinite(len)) len = 1.0f;
    const float intensity = 100.0f / len + 1.0f;
    // At most 2^30 samples: beyond that the chain has run away and only the
    // clock matters.
    const int n = static_cast<int>(std::min(std::floor(2.0f * len), 1073741824.0f));
    const float share = static_cast<float>(su.steps) / static_cast<float>(n);
    const float dt = 1.0f / static_cast<float>(n);

    bool reachable = paintable && !acc.full();
    if (reachable) {
        float minX, maxX, minY, maxY;
        seg.hull(minX, maxX, minY, maxY);
        reachable = box.meets(minX, maxX, minY, maxY);
    }
    if (!reachable) {
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
    Splatter splatter(acc);
    const auto splatAt = [&](float x, float y) {
        if (clock.fade != colourFade || clock.paletteIndex != colourIndex) {
            colourFade = clock.fade;
            colourIndex = clock.paletteIndex;
            const Colour c = colours.at(clock);
            r = atLeastOne(static_cast<int>(static_cast<float>(c.r) * intensity));
            g = atLeastOne(static_cast<int>(static_cast<float>(c.g) * intensity));
            b = atLeastOne(static_cast<int>(static_cast<float>(c.b) * intensity));
        }
        splatter.splat(static_cast<int>(16.0f * x), static_cast<int>(16.0f * y), r, g, b);
    };

    float minX, maxX, minY, maxY;
    seg.hull(minX, maxX, minY, maxY);
    if (box.contains(minX, minY) && box.contains(maxX, maxY)) {
        // The whole segment is over the canvas: no sample can fall off it.
        // Its pixel-map rows are scattered; ask for them before sampling.
        acc.prefetchAlong(seg, n);
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

    const float slack = 1.0f + 1e-6f * std::max(speedX, speedY);
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

// One ribbon span: `sub` points from A + step to B, each hit unweighted.
// Points k = 1..sub are A + step * k; consecutive points on the same pixel
// are added as one run. Both coordinates move monotonically along the span,
// so when the first and last points fall on the same pixel every point does.
constexpr int kMaxSubSteps = 40;

// How many of the points k = 1..n, at a + s * k, stay on the pixel v0 of
// the first one. The points move monotonically, so they form a prefix; the
// estimate from the pixel edge is corrected by evaluating the points.
inline int leadingSame(float a, float s, int n, int v0) {
    const auto pixel = [&](int k) { return static_cast<int>(a + s * static_cast<float>(k)); };
    const float edge = s > 0.0f ? static_cast<float>(v0 + 1) : static_cast<float>(v0);
    const float estimate = (edge - a) / s;
    int k = estimate >= static_cast<float>(n) ? n : (estimate < 1.0f ? 1 : static_cast<int>(estimate));
    while (k < n && pixel(k + 1) == v0) ++k;
    while (k > 1 && pixel(k) != v0) --k;
    return k;
}

inline void ribbonSpan(AccumRef& acc, float ax, float ay, float bx, float by, int sub, Colour c) {
    const float subF = static_cast<float>(sub);
    const float sx = (bx - ax) / subF;
    const float sy = (by - ay) / subF;
    const float w = static_cast<float>(acc.width);
    const float h = static_cast<float>(acc.height);
    const int width = acc.width;
    const auto pixelAt = [&](int k, int& idx) {
        const float kf = static_cast<float>(k);
        const float qx = ax + sx * kf;
        const float qy = ay + sy * kf;
        if (!(qx > 0.0f && qx < w && qy > 0.0f && qy < h)) return false;
        idx = static_cast<int>(qy) * width + static_cast<int>(qx);
        return true;
    };
    int first = -1, last = -1;
    const bool firstIn = pixelAt(1, first);
    const bool lastIn = pixelAt(sub, last);
    if (firstIn && lastIn) {
        if (first == last) {
            acc.addHits(first, c.r, c.g, c.b, sub);
            return;
        }
        // Most spans are short: at most one pixel step on each axis. Then
        // there are at most three runs, split where each axis steps.
        const int x1 = first % width, y1 = first / width;
        const int xn = last % width, yn = last / width;
        if (std::abs(xn - x1) <= 1 && std::abs(yn - y1) <= 1) {
            const int kx = xn == x1 ? sub : leadingSame(ax, sx, sub, x1);
            const int ky = yn == y1 ? sub : leadingSame(ay, sy, sub, y1);
            const int b1 = std::min(kx, ky);
            const int b2 = std::max(kx, ky);
            acc.addHits(first, c.r, c.g, c.b, b1);
            if (b2 > b1) acc.addHits(kx < ky ? xn + y1 * width : x1 + yn * width, c.r, c.g, c.b, b2 - b1);
            if (sub > b2) acc.addHits(last, c.r, c.g, c.b, sub - b2);
            return;
        }
    }
#if defined(__SSE2__)
    // Every point's pixel and whether it is on the canvas, four at a time;
    // slot 3 stands for k = 0 and never matches, so k = 1 starts a run.
    alignas(16) int ixs[kMaxSubSteps + 8];
    alignas(16) int iys[kMaxSubSteps + 8];
    alignas(16) int ins[kMaxSubSteps + 8];
    ixs[3] = iys[3] = 0;
    ins[3] = 0x5a5a5a5a;
    const __m128 vax = _mm_set1_ps(ax), vay = _mm_set1_ps(ay);
    const __m128 vsx = _mm_set1_ps(sx), vsy = _mm_set1_ps(sy);
    const __m128 vw = _mm_set1_ps(w), vh = _mm_set1_ps(h), zero = _mm_setzero_ps();
    const __m128 four = _mm_set1_ps(4.0f);
    __m128 vk = _mm_setr_ps(1.0f, 2.0f, 3.0f, 4.0f);
    for (int k = 0; k < sub; k += 4) {
        const __m128 qx = _mm_add_ps(vax, _mm_mul_ps(vsx, vk));
        const __m128 qy = _mm_add_ps(vay, _mm_mul_ps(vsy, vk));
        const __m128 in = _mm_and_ps(_mm_and_ps(_mm_cmpgt_ps(qx, zero), _mm_cmplt_ps(qx, vw)),
                                     _mm_and_ps(_mm_cmpgt_ps(qy, zero), _mm_cmplt_ps(qy, vh)));
        _mm_store_si128(reinterpret_cast<__m128i*>(ixs + 4 + k), _mm_cvttps_epi32(qx));
        _mm_store_si128(reinterpret_cast<__m128i*>(iys + 4 + k), _mm_cvttps_epi32(qy));
        _mm_store_si128(reinterpret_cast<__m128i*>(ins + 4 + k), _mm_castps_si128(in));
        vk = _mm_add_ps(vk, four);
    }
    // Bit j: point j + 1 differs from the one before.
    uint64_t starts = 0;
    for (int j = 0; j < sub; j += 4) {
        const __m128i x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(ixs + 4 + j));
        const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ixs + 3 + j));
        const __m128i y0 = _mm_load_si128(reinterpret_cast<const __m128i*>(iys + 4 + j));
        const __m128i y1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(iys + 3 + j));
        const __m128i i0 = _mm_load_si128(reinterpret_cast<const __m128i*>(ins + 4 + j));
        const __m128i i1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ins + 3 + j));
        const __m128i same = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi32(x0, x1), _mm_cmpeq_epi32(y0, y1)),
                                           _mm_cmpeq_epi32(i0, i1));
        const unsigned bits = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(same))) ^ 0xFu;
        starts |= static_cast<uint64_t>(bits) << j;
    }
    starts &= (UINT64_C(1) << sub) - 1;
    while (starts) {
        const int j = __builtin_ctzll(starts);
        starts &= starts - 1;
        const int end = starts ? __builtin_ctzll(starts) : sub;
        if (ins[4 + j]) acc.addHits(iys[4 + j] * width + ixs[4 + j], c.r, c.g, c.b, end - j);
    }
#else
    int runIdx = -1;
    int runLen = 0;
    for (int k = 1; k <= sub; ++k) {
        int idx;
        if (!pixelAt(k, idx)) continue;
        if (idx == runIdx) {
            ++runLen;
            continue;
        }
        if (runLen > 0) acc.addHits(runIdx, c.r, c.g, c.b, runLen);
        runIdx = idx;
        runLen = 1;
    }
    if (runLen > 0) acc.addHits(runIdx, c.r, c.g, c.b, runLen);
#endif
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
    if (reachable) {
        float aMinX, aMaxX, aMinY, aMaxY, bMinX, bMaxX, bMinY, bMaxY;
        segK.hull(aMinX, aMaxX, aMinY, aMaxY);
        segPrev.hull(bMinX, bMaxX, bMinY, bMaxY);
        const float minX = std::min(aMinX, bMinX), maxX = std::max(aMaxX, bMaxX);
        const float minY = std::min(aMinY, bMinY), maxY = std::max(aMaxY, bMaxY);
        reachable = maxX > 0.0f && minX < static_cast<float>(acc.width) && maxY > 0.0f &&
                    minY < static_cast<float>(acc.height);
    }
    if (!reachable) {
        clock.skip(steps, 1.0f);
        return;
    }
    // Particle K's points become K + 1's "previous" row.
    std::swap(rowK, rowPrev);
    if (rowPrev->particle != k - 1) {
        trailPoints(segPrev, steps, rowPrev->x, rowPrev->y);
        rowPrev->particle = k - 1;
    }
    trailPoints(segK, steps, rowK->x, rowK->y);
    rowK->particle = k;

    for (int s = 0; s < steps; ++s) {
        if (acc.full()) {
            clock.skip(steps - s, 1.0f);
            return;
        }
        clock.tick(1.0f);
        const Colour raw = colours.at(clock);
        const Colour c{atLeastOne(raw.r), atLeastOne(raw.g), atLeastOne(raw.b)};
        ribbonSpan(acc, rowK->x[s], rowK->y[s], rowPrev->x[s], rowPrev->y[s], su.subSteps, c);
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

bool fits(const PixelSpan& s, int width, int height) {
    return s.pixels && s.width == width && s.height == height && (s.bpp == 3 || s.bpp == 4);
}

}  // namespace

PaintAccumulator::PaintAccumulator()
    : touchedPixels(kTouchedCapacity, 0),
      accumR(kTouchedCapacity, 0),
      accumG(kTouchedCapacity, 0),
      accumB(kTouchedCapacity, 0) {}

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
    canvasWidth = width;
    canvasHeight = height;
    touchedCount = 1;
    return true;
}

void PaintAccumulator::releaseMap() {
    std::vector<int>().swap(pixelMap);
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
    if (accum.pixelMap.empty()) return;
    AccumRef acc(accum);
    {
        Splatter splatter(acc);
        splatter.splat(x, y, r, g, b);
    }
    accum.touchedCount = acc.touchedCount;
}

int compositeTouched(PaintAccumulator& accum, const CanvasLayers& layers, const PaintSettings& settings, int shift) {
    const int width = accum.canvasWidth;
    const int height = accum.canvasHeight;
    const int count = accum.touchedCount;
    if (count <= 1) return 0;
    if (!fits(layers.front, width, height) || !fits(layers.display, width, height)) return 0;
    const ConstPixelSpan& back = layers.back;
    const bool withBack = settings.showBcg && back.pixels && back.width == width && back.height == height &&
                          (back.bpp == 3 || back.bpp == 4);

    unsigned char* front = layers.front.pixels;
    unsigned char* display = layers.display.pixels;
    const unsigned char* backPx = back.pixels;
    const size_t fbpp = static_cast<size_t>(layers.front.bpp);
    const size_t dbpp = static_cast<size_t>(layers.display.bpp);
    const size_t bbpp = static_cast<size_t>(back.bpp);
    const bool alpha = layers.front.bpp == 4;
    const int bgR = settings.bcgR, bgG = settings.bcgG, bgB = settings.bcgB;
    const bool additive = settings.additive;

    int* pixelMap = accum.pixelMap.data();
    const int* touched = accum.touchedPixels.data();
    int* sumR = accum.accumR.data();
    int* sumG = accum.accumG.data();
    int* sumB = accum.accumB.data();
    constexpr int kAhead = 16;
    for (int e = 1; e < count; ++e) {
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
    return count - 1;
}

BrushStepResult brushStep(const ParticleChain& chain, const BrushParams& params, const PaintSettings& settings,
                          const PaintColours& colours, const CanvasMapping& mapping, const CanvasLayers& layers,
                          StrokeProgress& progress, PaintAccumulator& accum, DirtyRect& dirty, int& redrawMode) {
    BrushStepResult result;
    const int width = accum.canvasWidth;
    const int height = accum.canvasHeight;
    accum.touchedCount = 1;
    if (accum.pixelMap.empty() || !fits(layers.front, width, height) || !fits(layers.display, width, height)) {
        return result;
    }
    if (redrawMode < 1) redrawMode = 1;

    const BrushParams p = clampBrushParams(params);
    CanvasMapping map = mapping;
    if (!(map.zoomRatio > 0.0f) || !std::isfinite(map.zoomRatio)) map.zoomRatio = 1.0f;
    const float time = std::isfinite(settings.perpixelzTime) ? settings.perpixelzTime : 0.0f;
    const BrushSetup su = brushSetupFor(p, time, map.zoomRatio);
    const int count = p.partNum;

    widenDirty(chain, count, map, p.spline, width, height, dirty);

    Clock clock{};
    clock.fadeStep = su.fadeStep;
    clock.paletteStep = su.paletteStep;
    clock.fading = p.fadez > 0.0f;
    clock.pending = progress.strokeEndPending;
    clock.timed = settings.perpixelz == 1 && time != 0.0f;
    clock.fade = progress.fadeFactor;
    clock.counter = progress.paletteCounter;
    clock.paletteIndex = std::min(std::max(progress.paletteIndex, 0), kPaletteLast - 1);

    static const int kNoPalette[kPaletteLast] = {};
    ColourSource source{};
    source.gradient = settings.perpixelz == 1;
    source.paletteR = colours.paletteR ? colours.paletteR : kNoPalette;
    source.paletteG = colours.paletteG ? colours.paletteG : kNoPalette;
    source.paletteB = colours.paletteB ? colours.paletteB : kNoPalette;
    source.basicR = clampByte(colours.paletteBasicR);
    source.basicG = clampByte(colours.paletteBasicG);
    source.basicB = clampByte(colours.paletteBasicB);
    source.opacity = su.opacity;

    AccumRef acc(accum);
    const SampleBox box{-2.0f, static_cast<float>(width) + 2.0f, -2.0f, static_cast<float>(height) + 2.0f};
    RibbonRow rows[2];
    RibbonRow* rowK = &rows[0];
    RibbonRow* rowPrev = &rows[1];

    int painted = 0;
    for (int k = su.firstParticle; k < count; k += su.particleStep) {
        clock.fade = progress.fadeFactorSaved;
        if (time == 0.0f) clock.paletteIndex = (k - 1) * kPaletteLast / count;
        const Segment seg = segmentOf(chain, k, map, p.spline);
        if (p.fillz) {
            paintRibbon(seg, segmentOf(chain, k - 1, map, p.spline), k, rowK, rowPrev, su, source, clock, acc);
        } else {
            paintLine(seg, su, source, clock, acc, box);
        }
        clock.counter -= static_cast<float>(su.steps);
        ++painted;
    }
    if (painted == 0) {
        // A chain too short to paint still runs its clock, so a release
        // still fades the stroke out and ends it.
        clock.fade = progress.fadeFactorSaved;
        clock.skip(su.steps, 1.0f);
    }
    accum.touchedCount = acc.touchedCount;

    progress.fadeFactor = clock.fade;
    progress.fadeFactorSaved = clock.fade;
    progress.paletteIndex = clock.paletteIndex;
    float counter = clock.counter + static_cast<float>(su.steps);
    // Keep the clock where a float still resolves one sample: wrap it by
    // whole palette periods (or drop it when it indexes nothing).
    if (std::fabs(counter) > 4194304.0f) {
        if (clock.timed && su.paletteStep != 0.0f) {
            const double period = static_cast<double>(kPaletteLast) / std::fabs(su.paletteStep);
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

    result.touchedEntries = compositeTouched(accum, layers, settings, su.shift);
    return result;
}
