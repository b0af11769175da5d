#pragma once
// The undo ring and the requests that change the canvas as a whole (undo,
// redo, clear, fill, show or hide the back layer, swap, merge, clear the
// back layer), as plain functions over the engine's buffers and ring
// members. No GL, no wx, no setting globals: the engine passes what it took
// from the request globals and carries out the effects it gets back.
//
// How the engine calls it, in render after the painting (render thread):
//
//   undo::Ring ring{undoBuffers, f_undoMax, undoPos, undoOldest, undoRedoEnd,
//                   undoHasBack, undoBcgR, undoBcgG, undoBcgB, undoFrameBytes};
//   undo::Flags flags{undoPending, backPending, canvasClear, regrabPending};
//   undo::Requests rq;
//   rq.workState = the code 7, 8, 4 or 41 taken from the slot (else 0);
//   rq.capture = f_newBrushPreset != 0;
//   if (!rq.capture) {            // the layer requests wait during a capture
//       rq.showBack = requests::take(f_changeShowBcg) == 1;
//       rq.collapse = requests::take(f_changeCollapse);
//       rq.clearBack = requests::take(f_changeClearBack) == 1;
//   }
//   rq.strokeState = strokeState;
//   palette::Rgb bg{f_bcgR, f_bcgG, f_bcgB};
//   undo::Effects fx = undo::runRequests(rq, ring, frontSpan, backSpan, flags, bg);
//   if (fx.backgroundChanged) { f_bcgR = bg.r; ...; backgroundColorBitmap(); }
//   if (fx.recompose) { updateAllTexture(); redrawMode = 2; }
//
// Set-up of a canvas: undo::resetRing after the buffers exist (and
// backPending := 0). Loading a back-layer picture: undo::keepBackBeforeChange
// first, then undoPending := true. End of a brush capture:
// undo::restoreCurrent, undoPending := false, canvasClear := false.
//
// backPending is cleared only by the push that stores it (not every frame),
// and only the first back-layer change after a push saves the old back
// layer, so a change made during a stroke still reaches the ring.

#include <cstddef>

#include "core/pixels/canvas.h"
#include "core/pixels/palette.h"
#include "core/pixels/ringmemory.h"

namespace undo {

// One ring step on from `pos` (p + 2, or 0 past the end) and one back.
int stepOn(int pos, int undoMax);
int stepBack(int pos, int undoMax);

// The engine's ring members. Buffer p holds a front layer in the front
// layer's own bytes per pixel; buffer p + 1 a back layer stored in the same
// layout.
struct Ring {
    unsigned char* const* undoBuffers;  // undoMax + 1 buffers
    int undoMax;                        // f_undoMax: odd, 3..201
    int& undoPos;
    int& undoOldest;
    int& undoRedoEnd;
    int* undoHasBack;  // undoMax + 1 entries each
    int* undoBcgR;
    int* undoBcgG;
    int* undoBcgB;
    // Bytes of one buffer; copies run only for a front layer of exactly this
    // size (0: not checked).
    std::size_t undoFrameBytes = 0;
    // Faults in the buffers of the next push ahead of time (none: the
    // buffers are written as they are).
    RingPreparer* preparer = nullptr;

    // The buffers exist and the size is sound.
    bool usable() const;
    // usable() and `front` fits a buffer.
    bool fits(canvas::PixelSpan front) const;
};

// Ring set-up for a new canvas: buffer 0 := the front layer with `bg`,
// positions 0, 0 and 2, no position holds a back layer.
void resetRing(Ring& ring, canvas::PixelSpan front, palette::Rgb bg);

// Stores a new state one step on (dropping every state after the current
// one, and the oldest when the ring is full): the front layer, the back
// layer when `withBack`, and `bg`. Then the preparer, if any, starts on the
// buffers of the push after it.
void push(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, bool withBack, palette::Rgb bg);

// One step back or on. False, with nothing changed, at the oldest or newest
// state. Otherwise the layers and `bg` become the state's (the back layer
// only when the step stored one). With `backPending` set, the back layer
// first returns to the copy kept before its change, which the move drops.
bool undoStep(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, int& backPending, palette::Rgb& bg);
bool redoStep(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, int& backPending, palette::Rgb& bg);

// The front layer := the current state's (the end of a brush capture).
void restoreCurrent(const Ring& ring, canvas::PixelSpan front);

// Before a back-layer change: the first change after a push copies the back
// layer into buffer undoPos + 1 (in the front layer's layout, as every
// buffer); every change sets backPending.
void keepBackBeforeChange(Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, int& backPending);

// `mode` 1 swaps the layers (alpha swapped when both have it, else the one
// that has it becomes 0); 2 merges the front into the back layer,
// clamp(back + front - bg), and leaves the front in `bg` with alpha 0 (back
// alpha := clamp(back + front alpha) when both have alpha). Other modes and
// layers of different sizes change nothing.
void collapseLayers(int mode, canvas::PixelSpan front, canvas::PixelSpan back, palette::Rgb bg);

// The engine's flags of the same names.
struct Flags {
    bool& undoPending;
    int& backPending;
    bool& canvasClear;
    bool& regrabPending;
};

// What the engine took from the request globals this frame.
struct Requests {
    int workState = 0;       // 7 undo, 8 redo, 4 clear, 41 fill are handled; others are left
    bool capture = false;    // a brush capture runs: undo and redo dropped, the rest waits
    bool showBack = false;   // f_changeShowBcg was 1
    int collapse = 0;        // f_changeCollapse: 1 swap, 2 merge
    bool clearBack = false;  // f_changeClearBack was 1
    int strokeState = 0;     // the push waits while a stroke runs
};

// What the engine must do afterwards.
struct Effects {
    bool finishWorkState = false;    // the code was one of the handled ones
    bool recompose = false;          // updateAllTexture and redrawMode 2
    bool backgroundChanged = false;  // `bg` was restored: write it back and repaint the swatch
    bool pushed = false;             // a state was stored
};

// The frame's request step in its order: undo, redo, clear or fill; then,
// without a capture, show or hide the back layer, swap or merge, clear the
// back layer and the push. While a stroke runs, the buffers its push will
// write are prepared.
Effects runRequests(const Requests& rq, Ring& ring, canvas::PixelSpan front, canvas::PixelSpan back, Flags& flags,
                    palette::Rgb& bg);

}  // namespace undo
