#include "core/EngineGlobals.h"

std::atomic<float> f_scalez{2.0f};
std::atomic<int> f_alphaBCGload{0};
std::atomic<int> f_maxTextureSize{0};

std::atomic<int> f_undoPercent{30};
std::atomic<int64_t> f_availPhysMem{0};
std::atomic<int64_t> f_usePhysMem{0};

int paletteRsub[kPaletteSize];
int paletteGsub[kPaletteSize];
int paletteBsub[kPaletteSize];

int paletteBasicRsub = 0;
int paletteBasicGsub = 0;
int paletteBasicBsub = 0;
int paletteBasicR = 0;
int paletteBasicG = 0;
int paletteBasicB = 0;
