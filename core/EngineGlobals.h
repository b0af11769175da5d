#pragma once
// Globals that the engine defines and mostly keeps to itself: the zoom, the
// back layer's depth, the undo-memory figures, the derived palettes and the
// two brush-preset pictures that the brush library saves.

#include <atomic>
#include <cstdint>
#include <string>

#include "core/WyrleGlobals.h"
#include "framework/MyOfImage.h"

extern std::atomic<float> f_scalez;
// The back layer has alpha (1) or not (0).
extern std::atomic<int> f_alphaBCGload;
extern std::atomic<int> f_maxTextureSize;

// Undo memory of the current canvas: the per cent in use (10..90), the free
// physical memory it was taken from and the bytes it allows.
extern std::atomic<int> f_undoPercent;
extern std::atomic<int64_t> f_availPhysMem;
extern std::atomic<int64_t> f_usePhysMem;

// Built from the gradient stops by wyrleApp::paletka; render thread only.
extern int paletteRsub[kPaletteSize];
extern int paletteGsub[kPaletteSize];
extern int paletteBsub[kPaletteSize];

// The basic colour's complement and the active one; render thread only.
extern int paletteBasicRsub;
extern int paletteBasicGsub;
extern int paletteBasicBsub;
extern int paletteBasicR;
extern int paletteBasicG;
extern int paletteBasicB;

// Defined with the tool window. The last brush-preset sample (256 x 256)
// and its icon (64 x 64): hold gBrushPreviewMutex while filling or saving
// them. gTitle: the drawing window's first title, empty.
extern MyOfImage brushColor;
extern MyOfImage brushIconColor;
extern std::string gTitle;
