#include "core/pixels/eraser.h"

#include <algorithm>
#include <cmath>

namespace eraser {
namespace {

// The framework's PI, without the framework's GL headers.
constexpr double kPi = 3.14159265358979323846;

// Far more stamps than any real pointer move can ask for.
constexpr float kMaxStamps = 1 << 20;

unsigned char clampByte(int v) { return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

float usedSize(float size) { return size >= 1 ? std::min(size, static_cast<float>(kMaxRadius)) : 1.0f; }

float usedOpacity(float opacity) { return opacity > 0 ? std::min(opacity, 1.0f) : 0.0f; }

bool sameSize(canvas::PixelSpan a, canvas::PixelSpan b) { return b.valid() && a.w == b.w && a.h == b.h; }

// A canvas coordinate, truncated toward zero; far-off points stay far off
// without overflowing.
int canvasPixel(double v) { return static_cast<int>(std::max(-1e9, std::min(1e9, v))); }

// One stamp centred on canvas pixel (cx, cy). Only offsets whose weight is
// below 1 change anything, so only they are visited.
void stamp(const Mask& mask, int radius, int cx, int cy, const Settings& s, canvas::PixelSpan front,
           canvas::PixelSpan back, canvas::PixelSpan display, bool withBack, bool withDisplay, DirtyRect& dirty) {
    const int aMin = std::max(-radius, -cx), aMax = std::min(radius, front.w - 1 - cx);
    const int bMin = std::max(-radius, -cy), bMax = std::min(radius, front.h - 1 - cy);
    if (aMin > aMax || bMin > bMax) return;
    const float bgf[3] = {static_cast<float>(s.bg.r), static_cast<float>(s.bg.g), static_cast<float>(s.bg.b)};
    const int bgc[3] = {s.bg.r, s.bg.g, s.bg.b};
    const bool alpha = front.bpp == 4;
    for (int b = bMin; b <= bMax; ++b) {
        const float* row = mask[b + kMaxRadius] + kMaxRadius;
        const int py = cy + b;
        for (int a = aMin; a <= aMax; ++a) {
            const float m = row[a];
            if (m >= 1.0f) continue;
            const int px = cx + a;
            const size_t idx = static_cast<size_t>(py) * static_cast<size_t>(front.w) + static_cast<size_t>(px);
            unsigned char* f = front.px + idx * static_cast<size_t>(front.bpp);
            for (int k = 0; k < 3; ++k)
                f[k] = clampByte(static_cast<int>((static_cast<float>(f[k]) - bgf[k]) * m + bgf[k]));
            if (alpha) {
                const int na = canvas::canvasAlpha(f[0], f[1], f[2], s.bg);
                if (na < f[3]) f[3] = static_cast<unsigned char>(na);
            }
            if (withDisplay) {
                unsigned char* d = display.px + idx * static_cast<size_t>(display.bpp);
                if (withBack) {
                    const unsigned char* bk = back.px + idx * static_cast<size_t>(back.bpp);
                    for (int k = 0; k < 3; ++k) d[k] = clampByte(bk[k] + f[k] - bgc[k]);
                } else {
                    for (int k = 0; k < 3; ++k) d[k] = f[k];
                }
            }
            dirty.dirtyMinX = std::min(dirty.dirtyMinX, px);
            dirty.dirtyMaxX = std::max(dirty.dirtyMaxX, px + 1);
            dirty.dirtyMinY = std::min(dirty.dirtyMinY, py);
            dirty.dirtyMaxY = std::max(dirty.dirtyMaxY, py + 1);
        }
    }
}

}  // namespace

void buildMask(Mask& mask, float size, float opacity) {
    size = usedSize(size);
    opacity = usedOpacity(opacity);
    const int radius = static_cast<int>(size);
    for (int b = -radius; b <= radius; ++b) {
        float* row = mask[b + kMaxRadius] + kMaxRadius;
        for (int a = -radius; a <= radius; ++a) {
            const float d = std::sqrt(static_cast<float>(a * a + b * b));
            if (d < size) {
                const float s = static_cast<float>(0.5 - 0.5 * std::cos(kPi * d / size));
                const double w = s * opacity + 1.01 - opacity;
                row[a] = static_cast<float>(w < 0 ? 0 : (w > 1 ? 1 : w));
            } else {
                row[a] = 1.0f;
            }
        }
    }
}

bool isIdle(const Members& m, const Pointer& p) {
    return (p.x == p.prevX && p.y == p.prevY) || (m.eraserLastX == p.x && m.eraserLastY == p.y);
}

void followPointer(Members& m, const Pointer& p) {
    m.eraserLastX = p.prevX;
    m.eraserLastY = p.prevY;
}

int layStamps(const Mask& mask, float fromX, float fromY, float toX, float toY, const View& view, const Settings& s,
              canvas::PixelSpan front, canvas::PixelSpan back, canvas::PixelSpan display, int& centerX, int& centerY,
              DirtyRect& dirty) {
    if (!front.valid()) return 0;
    const double zoom = view.zoomRatio;
    if (!std::isfinite(fromX) || !std::isfinite(fromY) || !std::isfinite(toX) || !std::isfinite(toY) ||
        !std::isfinite(zoom) || zoom <= 0 || !std::isfinite(view.canvasOffsetX) || !std::isfinite(view.canvasOffsetY))
        return 0;
    const float size = usedSize(s.size);
    const int radius = static_cast<int>(size);
    const double dx = static_cast<double>(fromX) - toX;
    const double dy = static_cast<double>(fromY) - toY;
    const double seg = std::sqrt(zoom * (dx * dx + dy * dy));
    float n = static_cast<float>(2.0 * std::sqrt(zoom) / size * seg);
    if (!(n >= 1)) n = 1;
    n = std::min(n, kMaxStamps);

    const bool withBack = s.showBack && sameSize(front, back);
    const bool withDisplay = sameSize(front, display);
    int count = 0;
    for (int i = 1; i <= n; ++i) {
        // Counted back from the end point, so the last stamp of a whole
        // number of stamps sits exactly on it.
        const double rest = (n - i) / static_cast<double>(n);
        const double wx = toX - (static_cast<double>(toX) - fromX) * rest;
        const double wy = toY - (static_cast<double>(toY) - fromY) * rest;
        centerX = canvasPixel(wx * zoom - view.canvasOffsetX);
        centerY = canvasPixel(wy * zoom - view.canvasOffsetY);
        stamp(mask, radius, centerX, centerY, s, front, back, display, withBack, withDisplay, dirty);
        ++count;
    }
    return count;
}

int step(Members& m, const Pointer& p, const View& view, const Settings& s, canvas::PixelSpan front,
         canvas::PixelSpan back, canvas::PixelSpan display, DirtyRect& dirty) {
    if (m.eraserIdle) m.eraserIdle = isIdle(m, p);
    int stamps = 0;
    if (!m.eraserIdle) {
        buildMask(m.eraserMask, s.size, s.opacity);
        stamps = layStamps(m.eraserMask, m.eraserLastX, m.eraserLastY, p.x, p.y, view, s, front, back, display,
                           m.eraserCenterX, m.eraserCenterY, dirty);
    }
    if (view.zoomRatio > 0) {
        m.eraserLastX = (static_cast<float>(m.eraserCenterX) + view.canvasOffsetX) / view.zoomRatio;
        m.eraserLastY = (static_cast<float>(m.eraserCenterY) + view.canvasOffsetY) / view.zoomRatio;
    }
    m.eraserIdle = isIdle(m, p);
    return stamps;
}

}  // namespace eraser
