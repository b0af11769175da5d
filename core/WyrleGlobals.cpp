#include "core/WyrleGlobals.h"

void AtomicPoint::set(int x, int y) {
    uint64_t v = (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
    packed_.store(v, std::memory_order_release);
}

void AtomicPoint::get(int& x, int& y) const {
    uint64_t v = packed_.load(std::memory_order_acquire);
    x = static_cast<int32_t>(static_cast<uint32_t>(v >> 32));
    y = static_cast<int32_t>(static_cast<uint32_t>(v & 0xffffffffu));
}

std::atomic<int> f_workState{0};
std::atomic<bool> f_setPalette{false};
std::atomic<bool> f_setPaletteBasicHSV{false};
std::atomic<bool> f_setStrings{false};
std::atomic<bool> f_setupBrushParameters{false};
std::atomic<int> f_changeShowBcg{0};
std::atomic<int> f_changeCollapse{0};
std::atomic<int> f_changeClearBack{0};
std::atomic<bool> f_centerTexture{false};
std::atomic<int> f_newBrushPreset{0};
std::atomic<int> f_changeShowLayers{0};
std::atomic<bool> f_showCursor{false};
std::atomic<bool> f_newArtwork{false};
std::atomic<bool> bMove{false};
AtomicPoint moveTo;

std::atomic<int> f_PartNum{100};
std::atomic<float> f_velInf{0.15f};
std::atomic<float> f_DistZ{90.0f};
std::atomic<float> f_slow1{0.9f};
std::atomic<float> f_NormLen{1.0f};
std::atomic<float> f_mass1{50.0f};
std::atomic<float> f_mass2{1.0f};
std::atomic<float> f_randd{0.0f};
std::atomic<int> f_modes{0};
std::atomic<int> f_PartStep{1};
std::atomic<int> f_paintDetail{1};
std::atomic<float> f_fadez{10.0f};
std::atomic<bool> f_fillz{true};
std::atomic<bool> f_spline{true};
std::atomic<float> f_opacityz{40.0f};

std::atomic<bool> f_painterz{true};
std::atomic<bool> f_eraserz{false};
std::atomic<float> f_eraserzSize{35.0f};
std::atomic<float> f_eraserzOpacity{1.0f};
std::atomic<int> f_perpixelz{0};
std::atomic<int> f_perpixelzMode{1};
std::atomic<float> f_perpixelzTime{3.0f};
std::atomic<float> f_perpixelzTimeVal{3.0f};
std::atomic<bool> f_additive{true};

std::mutex gPaletteMutex;
int paletteRadd[kPaletteSize];
int paletteGadd[kPaletteSize];
int paletteBadd[kPaletteSize];
int paletteSet[kPaletteSize];
int paletteR[kPaletteSize];
int paletteG[kPaletteSize];
int paletteB[kPaletteSize];
std::atomic<int> paletteBasicRadd{244};
std::atomic<int> paletteBasicGadd{78};
std::atomic<int> paletteBasicBadd{21};
std::atomic<float> paletteBasicH{0.0f};
std::atomic<float> paletteBasicS{0.0f};
std::atomic<float> paletteBasicL{0.0f};

std::atomic<int> f_sx{0};
std::atomic<int> f_sy{0};
std::atomic<int> f_bcgR{0};
std::atomic<int> f_bcgG{0};
std::atomic<int> f_bcgB{0};
std::atomic<int> f_alphaBCG{0};
std::atomic<int> f_alphaBCGsave{0};
std::atomic<int> f_premultiAlpha{0};
std::atomic<bool> f_export{false};
std::atomic<int> f_bcgR_choose{0};
std::atomic<int> f_bcgG_choose{0};
std::atomic<int> f_bcgB_choose{0};
std::atomic<bool> f_findAutoBcgColor{true};
std::atomic<bool> f_premultiplyAlpha{false};
std::atomic<bool> f_fixedLoadPic{false};
std::atomic<bool> gSaveAs{false};
std::atomic<bool> gFileSaved{false};
std::atomic<bool> f_showBcg{false};
std::atomic<int> f_scalezRangePos{0};
std::atomic<int> f_undoMax{0};

std::atomic<int> f_borderWidth{0};
std::atomic<int> f_borderHeight{0};
std::atomic<bool> bFrame{false};
std::atomic<int> gBasePositionX{201};
std::atomic<int> gBasePositionY{28};
// 4 × and 6 × f_borderHeight − 2, taken before start-up sets the border.
std::atomic<int> gGuiPositionX{0};
std::atomic<int> gGuiPositionY{-2};

std::atomic<bool> gLogging{false};

std::mutex gBrushPreviewMutex;

void computeBorders(int frameMetric, int& borderWidth, int& borderHeight) {
    borderWidth = frameMetric - 4;
    if (borderWidth <= 0) {
        borderWidth = 0;
        borderHeight = 0;
    } else {
        borderHeight = 1;
    }
}
