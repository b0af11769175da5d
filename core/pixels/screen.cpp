// Screen image kernels: redraw loops, the frame's screen step, thumbnails
// and the zoom arithmetic.

#include "core/pixels/screen.h"

#include "core/pixels/rowsplit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A painted rectangle is redrawn where it is; a whole view (tens of
// megabytes of canvas when zoomed out) is shared out over the row pool.
constexpr int64_t kSplitPixels = 1 << 16;

template <typename Rows>
void forRowSlices(int y0, int y1, int64_t pixels, const Rows& rows) {
    if (pixels >= kSplitPixels) {
        rowsplit::forRows(y0, y1, rows);
    } else {
        rows(y0, y1);
    }
}

int truncClamped(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT_MAX;
    if (v <= -2147483648.0) return INT_MIN;
    return static_cast<int>(v);
}

#if defined(__x86_64__) || defined(__i386__)
// RGBA to RGB with one byte shuffle per four pixels. Each store writes 16
// bytes of which the last 4 belong to the next pixels, so the loop stops
// while at least two pixels remain.
__attribute__((target("ssse3"))) void packRgbShuffle(const unsigned char* src, unsigned char* dst, int n) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int i = 0;
    for (; i + 6 <= n; i += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_shuffle_epi8(px, order));
        src += 16;
        dst += 12;
    }
    for (; i < n; ++i) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        src += 4;
        dst += 3;
    }
}

bool hasShuffle() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

// RGBA to RGB for n pixels.
void packRgb(const unsigned char* src, unsigned char* dst, int n) {
#if defined(__x86_64__) || defined(__i386__)
    if (hasShuffle()) {
        packRgbShuffle(src, dst, n);
        return;
    }
#endif
    int i = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; i + 4 <= n; i += 4) {
        uint32_t a, b, c, d;
        std::memcpy(&a, src, 4);
        std::memcpy(&b, src + 4, 4);
        std::memcpy(&c, src + 8, 4);
        std::memcpy(&d, src + 12, 4);
        const uint32_t o0 = (a & 0xFFFFFFu) | (b << 24);
        const uint32_t o1 = ((b >> 8) & 0xFFFFu) | (c << 16);
        const uint32_t o2 = ((c >> 16) & 0xFFu) | (d << 8);
        std::memcpy(dst, &o0, 4);
        std::memcpy(dst + 4, &o1, 4);
        std::memcpy(dst + 8, &o2, 4);
        src += 16;
        dst += 12;
    }
#endif
    for (; i < n; ++i) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
        src += 4;
        dst += 3;
    }
}

// Columns of one redraw that map onto consecutive canvas columns.
struct ColumnRun {
    int x;    // first window column
    int ix;   // its canvas column
    int len;
};

// One window row of a box filter: each pixel is the sum of the canvas pixel,
// its neighbour `off` columns to the left, and the same two `off` rows up,
// each channel / 4. `cols` holds the canvas column of each window column;
// `dst` is the row's first window pixel.
struct BoxRow {
    int bpp;
    int off;
    size_t rowBytes;

    // The plain walk: neighbours that are missing (the canvas's first
    // columns and rows) are left out, the sum is still / 4.
    void edge(const unsigned char* row, bool up, const int* cols, int from, int to, unsigned char* dst) const {
        const size_t leftBytes = static_cast<size_t>(off) * static_cast<size_t>(bpp);
        const size_t upBytes = static_cast<size_t>(off) * rowBytes;
        for (int i = from; i < to; ++i) {
            const int ix = cols[i];
            if (ix < 0) continue;
            const unsigned char* p = row + static_cast<size_t>(ix) * static_cast<size_t>(bpp);
            const bool left = ix - off > 0;
            int r = p[0], g = p[1], b = p[2];
            if (left) {
                r += p[-static_cast<ptrdiff_t>(leftBytes)];
                g += p[1 - static_cast<ptrdiff_t>(leftBytes)];
                b += p[2 - static_cast<ptrdiff_t>(leftBytes)];
            }
            if (up) {
                const unsigned char* q = p - upBytes;
                r += q[0];
                g += q[1];
                b += q[2];
                if (left) {
                    r += q[-static_cast<ptrdiff_t>(leftBytes)];
                    g += q[1 - static_cast<ptrdiff_t>(leftBytes)];
                    b += q[2 - static_cast<ptrdiff_t>(leftBytes)];
                }
            }
            unsigned char* d = dst + static_cast<size_t>(i) * 3;
            d[0] = static_cast<unsigned char>(r >> 2);
            d[1] = static_cast<unsigned char>(g >> 2);
            d[2] = static_cast<unsigned char>(b >> 2);
        }
    }

    // Columns that have all four pixels, and for 3-byte pixels one more
    // byte after the pixel on the canvas. `next` is the canvas row of the
    // next window row (or `row` itself), fetched ahead.
    void inner(const unsigned char* row, const unsigned char* next, const int* cols, int from, int to,
               unsigned char* dst) const;
};

#if defined(__SSE2__) && defined(__x86_64__)
inline __m128i load32(const unsigned char* p) {
    int v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
}

// Four pixels' first four bytes, one 32-bit lane each.
inline __m128i gather4(const unsigned char* a, const unsigned char* b, const unsigned char* c,
                       const unsigned char* d) {
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(load32(a), load32(b)), _mm_unpacklo_epi32(load32(c), load32(d)));
}

// Four RGBx pixels in 16 bytes to 12 bytes of RGB.
inline void storeRgb4(__m128i px, unsigned char* d) {
    const uint64_t lo = static_cast<uint64_t>(_mm_cvtsi128_si64(px));
    const uint64_t hi = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(px, px)));
    const uint64_t o01 = (lo & 0xFFFFFFu) | ((lo >> 8) & 0xFFFFFF000000u) | (hi << 48);
    const uint32_t o2 = static_cast<uint32_t>(((hi >> 16) & 0xFFu) | ((hi >> 24) & 0xFFFFFF00u));
    std::memcpy(d, &o01, 8);
    std::memcpy(d + 8, &o2, 4);
}

void BoxRow::inner(const unsigned char* row, const unsigned char* next, const int* cols, int from, int to,
                   unsigned char* dst) const {
    const size_t step = static_cast<size_t>(bpp);
    const size_t leftBytes = static_cast<size_t>(off) * step;
    const size_t upBytes = static_cast<size_t>(off) * rowBytes;
    const unsigned char* upRow = row - upBytes;
    const __m128i zero = _mm_setzero_si128();
    int i = from;
    for (; i + 4 <= to; i += 4) {
        const size_t a = static_cast<size_t>(cols[i]) * step;
        const size_t b = static_cast<size_t>(cols[i + 1]) * step;
        const size_t c = static_cast<size_t>(cols[i + 2]) * step;
        const size_t d = static_cast<size_t>(cols[i + 3]) * step;
        // Fetch the next window row's canvas rows while this one is summed.
        _mm_prefetch(reinterpret_cast<const char*>(next + d), _MM_HINT_T1);
        _mm_prefetch(reinterpret_cast<const char*>(next - upBytes + d), _MM_HINT_T1);
        const __m128i here = gather4(row + a, row + b, row + c, row + d);
        const __m128i left = gather4(row + a - leftBytes, row + b - leftBytes, row + c - leftBytes,
                                     row + d - leftBytes);
        const __m128i above = gather4(upRow + a, upRow + b, upRow + c, upRow + d);
        const __m128i aboveLeft = gather4(upRow + a - leftBytes, upRow + b - leftBytes, upRow + c - leftBytes,
                                          upRow + d - leftBytes);
        __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(here, zero), _mm_unpacklo_epi8(left, zero));
        __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(here, zero), _mm_unpackhi_epi8(left, zero));
        lo = _mm_add_epi16(lo, _mm_add_epi16(_mm_unpacklo_epi8(above, zero), _mm_unpacklo_epi8(aboveLeft, zero)));
        hi = _mm_add_epi16(hi, _mm_add_epi16(_mm_unpackhi_epi8(above, zero), _mm_unpackhi_epi8(aboveLeft, zero)));
        storeRgb4(_mm_packus_epi16(_mm_srli_epi16(lo, 2), _mm_srli_epi16(hi, 2)), dst + static_cast<size_t>(i) * 3);
    }
    edge(row, true, cols, i, to, dst);
}
#else
void BoxRow::inner(const unsigned char* row, const unsigned char* /*next*/, const int* cols, int from, int to,
                   unsigned char* dst) const {
    edge(row, true, cols, from, to, dst);
}
#endif

}  // namespace

ScreenSampling screenSamplingFor(float zoomRatio, bool nearest) {
    if (nearest || zoomRatio <= 1.05f) return ScreenSampling::Nearest;
    if (zoomRatio <= 3.95f) return ScreenSampling::Box;
    return ScreenSampling::SpreadBox;
}

VisibleRect visibleRect(int viewWidth, int viewHeight, int canvasWidth, int canvasHeight, const ScreenMapping& m) {
    VisibleRect v;
    const float zr = m.zoomRatio;
    v.visibleMinX = std::min(viewWidth, std::max(0, truncClamped(m.screenOffsetX)));
    v.visibleMaxX = std::max(0, std::min(viewWidth, truncClamped(m.screenOffsetX + canvasWidth / zr)));
    v.visibleMinY = std::min(viewHeight, std::max(0, truncClamped(m.screenOffsetY)));
    v.visibleMaxY = std::max(0, std::min(viewHeight, truncClamped(m.screenOffsetY + canvasHeight / zr)));
    return v;
}

DirtyRect dirtyToWindow(const DirtyRect& c, const ScreenMapping& m) {
    const auto toX = [&](int b) { return truncClamped(static_cast<float>(b) * m.scalez + m.screenOffsetX); };
    const auto toY = [&](int b) { return truncClamped(static_cast<float>(b) * m.scalez + m.screenOffsetY); };
    return {toX(c.dirtyMinX), toX(c.dirtyMaxX), toY(c.dirtyMinY), toY(c.dirtyMaxY)};
}

DirtyRect captureBoxRect(int viewWidth, int viewHeight) {
    return {viewWidth / 2 - 128, viewWidth / 2 + 128, viewHeight / 2 - 128, viewHeight / 2 + 128};
}

namespace {

// The redraw; with `backdrop` (the screen's size) every screen pixel it does
// not write takes the backdrop's, as if the backdrop had been copied over
// the whole screen first. False when it wrote nothing.
bool redraw(const canvas::PixelSpan& display, const canvas::PixelSpan& screen, const DirtyRect& rect,
            const ScreenMapping& m, bool nearest, const unsigned char* backdrop) {
    if (!display.valid() || !screen.px || screen.bpp != 3) return false;
    const int x0 = std::max(rect.dirtyMinX, 0);
    const int x1 = std::min(rect.dirtyMaxX, screen.w);
    const int y0 = std::max(rect.dirtyMinY, 0);
    const int y1 = std::min(rect.dirtyMaxY, screen.h);
    if (x0 >= x1 || y0 >= y1) return false;
    const float zr = m.zoomRatio;
    if (!(zr > 0.0f) || !std::isfinite(zr)) return false;

    const int W = display.w;
    const int H = display.h;
    const float wF = static_cast<float>(W);
    const float hF = static_cast<float>(H);
    const size_t bpp = static_cast<size_t>(display.bpp);
    const size_t rowBytes = static_cast<size_t>(W) * bpp;
    const size_t screenRow = static_cast<size_t>(screen.w) * 3;

    static thread_local std::vector<int> cols;
    cols.assign(static_cast<size_t>(x1 - x0), -1);
    for (int x = x0; x < x1; ++x) {
        const float cx = (static_cast<float>(x) - m.screenOffsetX) * zr;
        if (cx >= 0.0f && cx < wF) cols[static_cast<size_t>(x - x0)] = static_cast<int>(cx);
    }
    // The canvas point only grows with x, so the columns on the canvas are
    // one range [first, last) of the rectangle.
    const int n = x1 - x0;
    int first = 0;
    while (first < n && cols[static_cast<size_t>(first)] < 0) ++first;
    int last = n;
    while (last > first && cols[static_cast<size_t>(last - 1)] < 0) --last;
    const auto rowOnCanvas = [&](int y) {
        const float cy = (static_cast<float>(y) - m.screenOffsetY) * zr;
        return cy >= 0.0f && cy < hF;
    };
    // Rows [from, to) of the screen: the backdrop where the redraw leaves
    // pixels alone, then the redrawn rows.
    const int ya = backdrop ? 0 : y0;
    const int yb = backdrop ? screen.h : y1;
    const auto withBackdrop = [&](int from, int to, const auto& rows) {
        if (backdrop) {
            const size_t left = static_cast<size_t>(x0 + first) * 3;
            const size_t right = static_cast<size_t>(x0 + last) * 3;
            for (int y = from; y < to; ++y) {
                unsigned char* d = screen.px + static_cast<size_t>(y) * screenRow;
                const unsigned char* b = backdrop + static_cast<size_t>(y) * screenRow;
                if (y >= y0 && y < y1 && first < last && rowOnCanvas(y)) {
                    std::memcpy(d, b, left);
                    std::memcpy(d + right, b + right, screenRow - right);
                } else {
                    std::memcpy(d, b, screenRow);
                }
            }
        }
        rows(std::max(from, y0), std::min(to, y1));
    };
    const int64_t backdropWork = backdrop ? static_cast<int64_t>(screen.w) * screen.h / 4 : 0;

    const ScreenSampling sampling = screenSamplingFor(zr, nearest);
    if (sampling == ScreenSampling::Nearest) {
        static thread_local std::vector<ColumnRun> runs;
        runs.clear();
        for (int x = x0; x < x1; ++x) {
            const int ix = cols[static_cast<size_t>(x - x0)];
            if (ix < 0) continue;
            if (!runs.empty() && runs.back().x + runs.back().len == x && runs.back().ix + runs.back().len == ix) {
                ++runs.back().len;
            } else {
                runs.push_back({x, ix, 1});
            }
        }
        const ColumnRun* runAt = runs.data();
        const size_t runCount = runs.size();
        // Long runs are row copies that one thread does at memory speed; only
        // pixel-by-pixel sampling (zoomed in or out) is worth sharing out.
        const bool perPixel = runs.size() * 4 > static_cast<size_t>(x1 - x0);
        const int64_t work = perPixel ? static_cast<int64_t>(x1 - x0) * (y1 - y0) : 0;
        const auto rows = [&](int from, int to) {
            for (int y = from; y < to; ++y) {
                const float cy = (static_cast<float>(y) - m.screenOffsetY) * zr;
                if (!(cy >= 0.0f && cy < hF)) continue;
                const unsigned char* src = display.px + static_cast<size_t>(static_cast<int>(cy)) * rowBytes;
                unsigned char* dst = screen.px + static_cast<size_t>(y) * screenRow;
                for (size_t k = 0; k < runCount; ++k) {
                    const ColumnRun& run = runAt[k];
                    const unsigned char* s = src + static_cast<size_t>(run.ix) * bpp;
                    unsigned char* d = dst + static_cast<size_t>(run.x) * 3;
                    if (bpp == 3) {
                        std::memcpy(d, s, static_cast<size_t>(run.len) * 3);
                    } else if (run.len == 1) {
                        d[0] = s[0];
                        d[1] = s[1];
                        d[2] = s[2];
                    } else {
                        packRgb(s, d, run.len);
                    }
                }
            }
        };
        forRowSlices(ya, yb, work + backdropWork, [&](int from, int to) { withBackdrop(from, to, rows); });
        return true;
    }

    // The columns with their left neighbour are a suffix of [first, last).
    const int off = sampling == ScreenSampling::Box ? 1 : 2;
    int withLeft = first;
    while (withLeft < last && cols[static_cast<size_t>(withLeft)] - off <= 0) ++withLeft;
    // A wide read of a 3-byte pixel takes one byte of the next pixel, which
    // must still lie on the canvas.
    int wideEnd = last;
    if (bpp == 3) {
        while (wideEnd > withLeft && cols[static_cast<size_t>(wideEnd - 1)] + 1 >= W) --wideEnd;
    }
    const BoxRow box{static_cast<int>(bpp), off, rowBytes};
    const int* colAt = cols.data();
    const auto rows = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const float cy = (static_cast<float>(y) - m.screenOffsetY) * zr;
            if (!(cy >= 0.0f && cy < hF)) continue;
            const int iy = static_cast<int>(cy);
            const unsigned char* row = display.px + static_cast<size_t>(iy) * rowBytes;
            const bool up = iy - off > 0;
            unsigned char* dst = screen.px + static_cast<size_t>(y) * screenRow + static_cast<size_t>(x0) * 3;
            if (!up) {
                box.edge(row, false, colAt, first, last, dst);
                continue;
            }
            box.edge(row, true, colAt, first, withLeft, dst);
            const float nextY = (static_cast<float>(y + 1) - m.screenOffsetY) * zr;
            const unsigned char* next = y + 1 < to && nextY < hF
                                            ? display.px + static_cast<size_t>(static_cast<int>(nextY)) * rowBytes
                                            : row;
            box.inner(row, next, colAt, withLeft, wideEnd, dst);
            box.edge(row, true, colAt, wideEnd, last, dst);
        }
    };
    forRowSlices(ya, yb, static_cast<int64_t>(last - first) * (y1 - y0) + backdropWork,
                 [&](int from, int to) { withBackdrop(from, to, rows); });
    return true;
}

}  // namespace

void redrawScreen(const canvas::PixelSpan& display, const canvas::PixelSpan& screen, const DirtyRect& rect,
                  const ScreenMapping& m, bool nearest) {
    redraw(display, screen, rect, m, nearest, nullptr);
}

ScreenStepResult screenImageStep(const canvas::PixelSpan& display, const canvas::PixelSpan& screen,
                                 const canvas::PixelSpan& backdrop, const ScreenStepInput& in, int& redrawMode) {
    ScreenStepResult r;
    r.viewWidth = std::max(0, std::min(in.windowWidth, screen.w));
    r.viewHeight = std::max(0, std::min(in.windowHeight, screen.h));

    r.dirty = in.newBrushPreset == 0 ? dirtyToWindow(in.canvasDirty, in.mapping)
                                     : captureBoxRect(r.viewWidth, r.viewHeight);
    r.visible = visibleRect(r.viewWidth, r.viewHeight, in.canvasWidth, in.canvasHeight, in.mapping);
    r.dirty.dirtyMinX = std::max(r.dirty.dirtyMinX, r.visible.visibleMinX);
    r.dirty.dirtyMaxX = std::min(r.dirty.dirtyMaxX, r.visible.visibleMaxX);
    r.dirty.dirtyMinY = std::max(r.dirty.dirtyMinY, r.visible.visibleMinY);
    r.dirty.dirtyMaxY = std::min(r.dirty.dirtyMaxY, r.visible.visibleMaxY);

    const bool backdropFits = backdrop.px && backdrop.w == screen.w &&
                              backdrop.h == screen.h && backdrop.bpp == 3 && screen.px &&
                              screen.bpp == 3;
    const auto copyBackdrop = [&] {
        if (backdropFits && !r.updated) {
            std::memcpy(screen.px, backdrop.px, backdrop.bytes());
            r.updated = true;
        }
    };

    int mode = redrawMode;
    if (in.newBrushPreset == 1) copyBackdrop();
    if (in.newBrushPreset > 0) {
        if (mode == 2 || mode == 3) copyBackdrop();
        mode = 1;
    }
    bool backdropUnder = false;  // the backdrop goes around the canvas with the redraw
    if (mode == 2 || mode == 3) {
        r.dirty = {r.visible.visibleMinX, r.visible.visibleMaxX, r.visible.visibleMinY, r.visible.visibleMaxY};
        if (r.visible.visibleMinX > 0 || r.visible.visibleMaxX < r.viewWidth || r.visible.visibleMinY > 0 ||
            r.visible.visibleMaxY < r.viewHeight) {
            backdropUnder = backdropFits && !r.updated;
            if (!backdropUnder) copyBackdrop();
        }
    }
    const bool anything = r.dirty.dirtyMinX < r.dirty.dirtyMaxX && r.dirty.dirtyMinY < r.dirty.dirtyMaxY;
    if (mode >= 1 && mode <= 3 && anything) {
        // Copying the backdrop only where the canvas does not cover it saves
        // writing most of the screen twice.
        if (!redraw(display, screen, r.dirty, in.mapping, mode == 3, backdropUnder ? backdrop.px : nullptr) &&
            backdropUnder) {
            copyBackdrop();
        }
        r.updated = true;
    } else if (backdropUnder) {
        copyBackdrop();
    }
    redrawMode = 0;
    return r;
}

void fillRgb(const canvas::PixelSpan& image, int r, int g, int b) {
    if (!image.px) return;
    const size_t n = static_cast<size_t>(image.w) * static_cast<size_t>(image.h);
    const size_t bpp = static_cast<size_t>(image.bpp);
    unsigned char* p = image.px;
    for (size_t i = 0; i < n; ++i, p += bpp) {
        p[0] = static_cast<unsigned char>(r);
        p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b);
    }
}

void sampleThumbnail(const canvas::PixelSpan& layer, unsigned char* thumb) {
    if (!thumb) return;
    if (!layer.valid()) {
        std::memset(thumb, 0, kThumbnailSize * kThumbnailSize * 3);
        return;
    }
    const int sx = layer.w / kThumbnailSize;
    const int sy = layer.h / kThumbnailSize;
    const size_t bpp = static_cast<size_t>(layer.bpp);
    for (int v = 0; v < kThumbnailSize; ++v) {
        const unsigned char* row = layer.px + static_cast<size_t>(v * sy) * layer.w * bpp;
        for (int u = 0; u < kThumbnailSize; ++u) {
            const unsigned char* p = row + static_cast<size_t>(u * sx) * bpp;
            unsigned char* t = thumb + (static_cast<size_t>(v) * kThumbnailSize + u) * 3;
            t[0] = p[0];
            t[1] = p[1];
            t[2] = p[2];
        }
    }
}

bool cursorBlackAt(const canvas::PixelSpan& display, int x, int y) {
    if (!display.valid() || x < 0 || y < 0 || x >= display.w || y >= display.h) return false;
    const unsigned char* p =
        display.px + (static_cast<size_t>(y) * display.w + static_cast<size_t>(x)) * display.bpp;
    return p[0] + p[1] + p[2] > 500;
}

void replaceRgb(const canvas::PixelSpan& image, int fromR, int fromG, int fromB, int toR, int toG, int toB) {
    if (!image.px) return;
    const size_t n = static_cast<size_t>(image.w) * static_cast<size_t>(image.h);
    const size_t bpp = static_cast<size_t>(image.bpp);
    unsigned char* p = image.px;
    for (size_t i = 0; i < n; ++i, p += bpp) {
        if (p[0] == fromR && p[1] == fromG && p[2] == fromB) {
            p[0] = static_cast<unsigned char>(toR);
            p[1] = static_cast<unsigned char>(toG);
            p[2] = static_cast<unsigned char>(toB);
        }
    }
}

bool centerTextureFitsSmall(int viewWidth, int viewHeight, int canvasWidth, int canvasHeight, float s) {
    return viewWidth / 2.5 >= canvasWidth * s && viewHeight / 2.5 >= canvasHeight * s;
}

float centerTextureOffset(float o, int canvasSize, int viewSize, float s0, float s, bool fitsSmall) {
    if (fitsSmall) return static_cast<float>((viewSize / s - canvasSize) * 0.5);
    const float m = static_cast<float>(viewSize / 2) / s0 - o;
    return static_cast<float>(viewSize / 2) / s - m;
}

float captureViewOffset(int canvasSize, int viewSize) {
    return static_cast<float>(viewSize / 2 - canvasSize * 0.5);
}
