#include "core/pixels/undo.h"

#include <cstring>
#include <utility>

namespace undo {
namespace {

unsigned char clampByte(int v) { return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

bool sameSize(canvas::PixelSpan a, canvas::PixelSpan b) { return a.valid() && b.valid() && a.w == b.w && a.h == b.h; }

// Copies n pixels between layouts; an added alpha is opaque.
void copyPixels(unsigned char* dst, int dstBpp, const unsigned char* src, int srcBpp, size_t n) {
    if (dstBpp == srcBpp) {
        std::memcpy(dst, src, n * static_cast<size_t>(dstBpp));
        return;
    }
    for (size_t i = 0; i < n; ++i, dst += dstBpp, src += srcBpp) {
        std::memcpy(dst, src, 3);
        if (dstBpp == 4) dst[3] = 255;
    }
}

unsigned char* buffer(const Ring& ring, int index) { return ring.undoBuffers[index]; }

// The buffer about to be written, once the preparer has let go of it (it may
// also trade it for a prepared one, so the pointer is read afterwards).
unsigned char* claim(Ring& ring, int index) {
    if (ring.preparer) ring.preparer->claim(index);
    return buffer(ring, index);
}

// The buffers of the push after the current state: its front and back.
void prepareNext(Ring& ring) {
    if (!ring.preparer) return;
    const int next = stepOn(ring.undoPos, ring.undoMax);
    ring.preparer->prepare(next, next + 1);
}

void storeFront(Ring& ring, int pos, canvas::PixelSpan front) {
    std::memcpy(claim(ring, pos), front.px, front.bytes());
}

void storeBack(Ring& ring, int pos, canvas::PixelSpan front, canvas::PixelSpan back) {
    if (sameSize(front, back)) copyPixels(claim(ring, pos + 1), front.bpp, back.px, back.bpp, back.pixels());
}

void loadFront(const Ring& ring, int pos, canvas::PixelSpan front) {
    std::memcpy(front.px, buffer(ring, pos), front.bytes());
}

void loadBack(const Ring& ring, int pos, canvas::PixelSpan front, canvas::PixelSpan back) {
    if (sameSize(front, back)) copyPixels(back.px, back.bpp, buffer(ring, pos + 1), front.bpp, back.pixels());
}

// The state at `to`, reached from `from`; `backFrom` is the position whose
// push says whether the step changed the back layer.
void moveTo(Ring& ring, int from, int to, int backFrom, canvas::PixelSpan front, canvas::PixelSpan back,
            int& backPending, palette::Rgb& bg) {
    // A back-layer change not yet stored is dropped with the move.
    if (backPending) {
        loadBack(ring, from, front, back);
        backPending = 0;
    }
    ring.undoPos = to;
    loadFront(ring, to, front);
    if (ring.undoHasBack[backFrom] == 1) loadBack(ring, to, front, back);
    bg = {ring.undoBcgR[to], ring.undoBcgG[to], ring.undoBcgB[to]};
}

}  // namespace

int stepOn(int pos, int undoMax) { return pos + 2 >= undoMax ? 0 : pos + 2; }

int stepBack(int pos, int undoMax) { return pos - 2 < 0 ? undoMax - 1 : pos - 2; }

bool Ring::usable() const {
    return undoBuffers && undoHasBack && undoBcgR && undoBcgG && undoBcgB && undoMax >= 3 && undoMax <= 201 &&
           undoMax % 2 == 1 && undoPos >= 0 && undoPos < undoMax && undoPos % 2 == 0;
}

bool Ring::fits(canvas::PixelSpan front) const {
    return usable() && front.valid() && (undoFrameBytes == 0 || front.bytes() == undoFrameBytes);
}

void resetRing(Ring& ring, canvas::PixelSpan front, palette::Rgb bg) {
    ring.undoPos = 0;
    ring.undoOldest = 0;
    ring.undoRedoEnd = 2;
    if (!ring.usable()) return;
    for (int i = 0; i <= ring.undoMax; ++i) ring.undoHasBack[i] = -1;
    ring.undoBcgR[0] = bg.r;
    ring.undoBcgG[0] = bg.g;
    ring.undoBcgB[0] = bg.b;
    if (ring.fits(front)) storeFront(ring, 0, front);
}

void push(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, bool withBack, palette::Rgb bg) {
    if (!ring.fits(front)) return;
    const int pos = stepOn(ring.undoPos, ring.undoMax);
    ring.undoPos = pos;
    ring.undoRedoEnd = stepOn(pos, ring.undoMax);
    if (pos == ring.undoOldest) ring.undoOldest = stepOn(ring.undoOldest, ring.undoMax);
    storeFront(ring, pos, front);
    ring.undoHasBack[pos] = withBack ? 1 : 0;
    if (withBack) storeBack(ring, pos, front, back);
    ring.undoBcgR[pos] = bg.r;
    ring.undoBcgG[pos] = bg.g;
    ring.undoBcgB[pos] = bg.b;
    prepareNext(ring);
}

bool undoStep(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, int& backPending, palette::Rgb& bg) {
    if (!ring.fits(front) || ring.undoPos == ring.undoOldest) return false;
    const int from = ring.undoPos;
    moveTo(ring, from, stepBack(from, ring.undoMax), from, front, back, backPending, bg);
    return true;
}

bool redoStep(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, int& backPending, palette::Rgb& bg) {
    if (!ring.fits(front)) return false;
    const int from = ring.undoPos;
    const int to = stepOn(from, ring.undoMax);
    if (to == ring.undoRedoEnd) return false;
    moveTo(ring, from, to, to, front, back, backPending, bg);
    return true;
}

void restoreCurrent(const Ring& ring, canvas::PixelSpan front) {
    if (ring.fits(front)) loadFront(ring, ring.undoPos, front);
}

void keepBackBeforeChange(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, int& backPending) {
    if (!backPending && ring.fits(front)) storeBack(ring, ring.undoPos, front, back);
    backPending = 1;
}

void collapseLayers(int mode, canvas::PixelSpan front, canvas::PixelSpan back, palette::Rgb bg) {
    if ((mode != 1 && mode != 2) || !sameSize(front, back)) return;
    const size_t n = front.pixels();
    const size_t fb = static_cast<size_t>(front.bpp);
    const size_t bb = static_cast<size_t>(back.bpp);
    const int bgc[3] = {bg.r, bg.g, bg.b};
    unsigned char* f = front.px;
    unsigned char* b = back.px;
    if (mode == 1) {
        for (size_t i = 0; i < n; ++i, f += fb, b += bb) {
            for (int k = 0; k < 3; ++k) std::swap(f[k], b[k]);
            if (fb == 4 && bb == 4)
                std::swap(f[3], b[3]);
            else if (fb == 4)
                f[3] = 0;
            else if (bb == 4)
                b[3] = 0;
        }
        return;
    }
    for (size_t i = 0; i < n; ++i, f += fb, b += bb) {
        for (int k = 0; k < 3; ++k) {
            b[k] = clampByte(b[k] + f[k] - bgc[k]);
            f[k] = clampByte(bgc[k]);
        }
        if (bb == 4 && fb == 4) b[3] = clampByte(b[3] + f[3]);
        if (fb == 4) f[3] = 0;
    }
}

Effects runRequests(const Requests& rq, Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, Flags& flags,
                    palette::Rgb& bg) {
    Effects fx;
    switch (rq.workState) {
        case 7:
        case 8:
            fx.finishWorkState = true;
            if (rq.capture) break;
            flags.canvasClear = false;
            fx.backgroundChanged = rq.workState == 7 ? undoStep(ring, front, back, flags.backPending, bg)
                                                     : redoStep(ring, front, back, flags.backPending, bg);
            fx.recompose = true;
            break;
        case 4:
            if (!flags.canvasClear) {
                canvas::fillLayer(front, bg);
                flags.undoPending = true;
                flags.regrabPending = true;
                flags.canvasClear = true;
            }
            fx.recompose = true;
            fx.finishWorkState = true;
            break;
        case 41:
            canvas::fillLayer(front, bg);
            flags.undoPending = true;
            flags.canvasClear = true;
            fx.recompose = true;
            fx.finishWorkState = true;
            break;
        default:
            break;
    }
    if (rq.capture) return fx;

    if (rq.showBack) fx.recompose = true;
    if ((rq.collapse == 1 || rq.collapse == 2) && sameSize(front, back)) {
        keepBackBeforeChange(ring, front, back, flags.backPending);
        collapseLayers(rq.collapse, front, back, bg);
        // A swap brings a picture into the front layer; a merge leaves it clear.
        flags.canvasClear = rq.collapse == 2;
        flags.undoPending = true;
        fx.recompose = true;
    }
    if (rq.clearBack && back.valid()) {
        keepBackBeforeChange(ring, front, back, flags.backPending);
        canvas::fillLayer(back, bg);
        flags.undoPending = true;
        fx.recompose = true;
    }
    if (rq.strokeState != 0 && ring.usable()) prepareNext(ring);
    if (flags.undoPending && rq.strokeState == 0) {
        flags.undoPending = false;
        push(ring, front, back, flags.backPending != 0, bg);
        flags.backPending = 0;
        fx.pushed = ring.fits(front);
    }
    return fx;
}

}  // namespace undo
