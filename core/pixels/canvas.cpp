#include "core/pixels/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace canvas {
namespace {

inline uint8_t clampByte(int v) {
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

bool sameSize(const PixelSpan& a, const PixelSpan& b) {
    return a.w == b.w && a.h == b.h;
}

}  // namespace

int canvasAlpha(int r, int g, int b, palette::Rgb bg) {
    const int a = static_cast<int>(0.33 * (std::abs(r - bg.r) + std::abs(g - bg.g) + std::abs(b - bg.b)));
    return a > 255 ? 255 : a;
}

void fillLayer(PixelSpan layer, palette::Rgb bg) {
    if (!layer.valid()) return;
    const uint8_t pixel[4] = {clampByte(bg.r), clampByte(bg.g), clampByte(bg.b), 0};
    const size_t n = layer.pixels();
    const size_t bpp = static_cast<size_t>(layer.bpp);
    // One row by pixels, then whole rows by copying the first.
    const size_t rowBytes = static_cast<size_t>(layer.w) * bpp;
    for (size_t i = 0; i < static_cast<size_t>(layer.w); ++i) std::memcpy(layer.px + i * bpp, pixel, bpp);
    for (size_t off = rowBytes; off < n * bpp; off += rowBytes) std::memcpy(layer.px + off, layer.px, rowBytes);
}

void recompose(PixelSpan front, PixelSpan back, PixelSpan display, palette::Rgb bg, bool showBack) {
    if (!front.valid() || !display.valid() || !sameSize(front, display)) return;
    const size_t n = front.pixels();
    const size_t fb = static_cast<size_t>(front.bpp);
    const size_t db = static_cast<size_t>(display.bpp);
    if (showBack) {
        if (!back.valid() || !sameSize(front, back)) return;
        const size_t bb = static_cast<size_t>(back.bpp);
        const int bgc[3] = {bg.r, bg.g, bg.b};
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* f = front.px + i * fb;
            const uint8_t* b = back.px + i * bb;
            uint8_t* d = display.px + i * db;
            for (int c = 0; c < 3; ++c) d[c] = clampByte(b[c] + f[c] - bgc[c]);
        }
        return;
    }
    if (fb == db) {
        std::memcpy(display.px, front.px, front.bytes());
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        std::memcpy(display.px + i * db, front.px + i * fb, 3);
        if (db == 4) display.px[i * db + 3] = fb == 4 ? front.px[i * fb + 3] : 255;
    }
}

float viewClamp(float o, float s, int V, int W) {
    const double far = static_cast<double>(W) * s + static_cast<double>(o) * s;
    double r = o;
    if (r * s > 0.75 * V) r = 0.75 * V / s;
    if (far < 0.25 * V) r = (0.25 * V - static_cast<double>(W) * s) / s;
    return static_cast<float>(r);
}

float centredOffset(float s, int V, int W) {
    return static_cast<float>((static_cast<double>(V / 2) - static_cast<double>(W) * s * 0.5) / s);
}

int maxCanvasSize(int screen, int margin, int textureLimit) {
    int size = ((screen - margin) / 16 + 1) * 16;
    if (textureLimit > 0 && size > textureLimit) size = textureLimit;
    return std::max(size, 16);
}

int zoomFitIndex(int viewW, int viewH, int W, int H) {
    int index = 0;
    while (index < kZoomSteps - 1) {
        const float s = kZoomFactors[index];
        if (static_cast<float>(viewW) > static_cast<float>(W) * s && static_cast<float>(viewH) > static_cast<float>(H) * s)
            break;
        ++index;
    }
    return index;
}

std::string zoomLabel(float factor) {
    char text[32];
    std::snprintf(text, sizeof text, "%i %%", static_cast<int>(std::lround(static_cast<double>(factor) * 100.0)));
    return text;
}

size_t frameBytes(int W, int H, int bpp) {
    if (W <= 0 || H <= 0 || bpp <= 0) return 0;
    const int64_t pixels = static_cast<int64_t>(W) * H;
    if (pixels > kMaxCanvasPixels) return 0;
    return static_cast<size_t>(pixels) * static_cast<size_t>(bpp);
}

UndoSizing undoSizingFor(int64_t avail, int percent, int W, int H, int bpp) {
    UndoSizing out;
    out.percent = std::min(90, std::max(10, percent));
    // An unreadable figure: a modest budget still gives a usable ring.
    out.avail = avail > 0 ? avail : 104857600;
    out.use = static_cast<int64_t>(static_cast<double>(out.avail) * (out.percent * 0.01));
    out.undoMax = 3;
    out.fits = false;

    const int64_t frame = static_cast<int64_t>(frameBytes(W, H, bpp));
    if (frame == 0) return out;
    const int64_t pixels = static_cast<int64_t>(W) * H;

    int64_t q = (out.use - frame - 20 * pixels - kAccumulatorBytes) / frame;
    if (q % 2 != 1) q -= 1;
    q = std::min<int64_t>(201, std::max<int64_t>(3, q));
    out.undoMax = static_cast<int>(q);
    // The forced minimum ring and the pixel map must fit in what is free at all.
    out.fits = (out.undoMax + 1) * frame + 4 * pixels <= out.avail;
    return out;
}

bool dockTarget(int baseX, int baseY, int guiX, int guiY, int borderW, int borderH, int& x, int& y) {
    const int dx = baseX - guiX;
    const int dy = baseY - guiY;
    if (dx < 181 || dx > 219 || dy <= -40 || dy >= 0) return false;
    x = guiX + 3 * borderW - 3 * borderH + 198;
    y = guiY - borderH - 19;
    return true;
}

}  // namespace canvas
