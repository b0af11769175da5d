// Screen image kernels: redraw loops, the frame's screen step, thumbnails
// and the zoom arithmetic.

#include "screen.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace {

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

void redrawScreen(const canvas::PixelSpan& display, const canvas::PixelSpan& screen, const DirtyRect& rect,
                  const ScreenMapping& m, bool nearest) {
    if (!display.valid() || !screen.px || screen.bpp != 3) return;
    const int x0 = std::max(rect.dirtyMinX, 0);
    const int x1 = std::min(rect.dirtyMaxX, screen.w);
    const int y0 = std::max(rect.dirtyMinY, 0);
    const int y1 = std::min(rect.dirtyMaxY, screen.h);
    if (x0 >= x1 || y0 >= y1) return;
    const float zr = m.zoomRatio;
    if (!(zr > 0.0f) || !std::isfinite(zr)) return;

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
        for (int y = y0; y < y1; ++y) {
            const float cy = (static_cast<float>(y) - m.screenOffsetY) * zr;
            if (!(cy >= 0.0f && cy < hF)) continue;
            const unsigned char* src = display.px + static_cast<size_t>(static_cast<int>(cy)) * rowBytes;
            unsigned char* dst = screen.px + static_cast<size_t>(y) * screenRow;
            for (const ColumnRun& run : runs) {
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
        return;
    }

    // The box filters divide by 4 even where a neighbour is missing, so the
    // canvas's first rows and columns show darker when zoomed out.
    const int off = sampling == ScreenSampling::Box ? 1 : 2;
    for (int y = y0; y < y1; ++y) {
        const float cy = (static_cast<float>(y) - m.screenOffsetY) * zr;
        if (!(cy >= 0.0f && cy < hF)) continue;
        const int iy = static_cast<int>(cy);
        const unsigned char* row = display.px + static_cast<size_t>(iy) * rowBytes;
        const unsigned char* up = iy - off > 0 ? row - static_cast<size_t>(off) * rowBytes : nullptr;
        unsigned char* dst = screen.px + static_cast<size_t>(y) * screenRow;
        for (int x = x0; x < x1; ++x) {
            const int ix = cols[static_cast<size_t>(x - x0)];
            if (ix < 0) continue;
            const unsigned char* p = row + static_cast<size_t>(ix) * bpp;
            int r = p[0], g = p[1], b = p[2];
            const bool left = ix - off > 0;
            const size_t leftBytes = static_cast<size_t>(off) * bpp;
            if (left) {
                r += p[-static_cast<ptrdiff_t>(leftBytes)];
                g += p[1 - static_cast<ptrdiff_t>(leftBytes)];
                b += p[2 - static_cast<ptrdiff_t>(leftBytes)];
            }
            if (up) {
                const unsigned char* q = up + static_cast<size_t>(ix) * bpp;
                r += q[0];
                g += q[1];
                b += q[2];
                if (left) {
                    r += q[-static_cast<ptrdiff_t>(leftBytes)];
                    g += q[1 - static_cast<ptrdiff_t>(leftBytes)];
                    b += q[2 - static_cast<ptrdiff_t>(leftBytes)];
                }
            }
            unsigned char* d = dst + static_cast<size_t>(x) * 3;
            d[0] = static_cast<unsigned char>(r >> 2);
            d[1] = static_cast<unsigned char>(g >> 2);
            d[2] = static_cast<unsigned char>(b >> 2);
        }
    }
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
    if (mode == 2 || mode == 3) {
        r.dirty = {r.visible.visibleMinX, r.visible.visibleMaxX, r.visible.visibleMinY, r.visible.visibleMaxY};
        if (r.visible.visibleMinX > 0 || r.visible.visibleMaxX < r.viewWidth || r.visible.visibleMinY > 0 ||
            r.visible.visibleMaxY < r.viewHeight) {
            copyBackdrop();
        }
    }
    const bool anything = r.dirty.dirtyMinX < r.dirty.dirtyMaxX && r.dirty.dirtyMinY < r.dirty.dirtyMaxY;
    if (mode >= 1 && mode <= 3 && anything) {
        redrawScreen(display, screen, r.dirty, in.mapping, mode == 3);
        r.updated = true;
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
