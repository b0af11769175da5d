#pragma once
// Settings and requests shared by the tool window (GUI thread) and the engine
// (render thread). Scalars are atomics; the GUI writes a request's parameters
// first and raises the request last (release), the engine takes the request
// (acquire) before it reads them. The gradient stops and the preset pictures
// are guarded by their own locks. Nothing here needs the toolkit, so the pixel
// work can read the settings; the file names, which are wx strings, are in
// core/FileNames.h.

#include <atomic>
#include <cstdint>
#include <mutex>

// A screen position written and read as one value.
class AtomicPoint {
public:
    void set(int x, int y);
    void get(int& x, int& y) const;

private:
    std::atomic<uint64_t> packed_{0};
};

// Request slot and its codes.
enum WorkState {
    kWorkIdle = 0,
    kWorkNewArtwork = 1,
    kWorkLoad = 2,
    kWorkSave = 3,
    kWorkClearFront = 4,
    kWorkUndo = 7,
    kWorkRedo = 8,
    kWorkStroke = 10,
    kWorkFillFront = 41,
    kWorkSetup = 99,
};

extern std::atomic<int> f_workState;
extern std::atomic<bool> f_setPalette;
extern std::atomic<bool> f_setPaletteBasicHSV;
extern std::atomic<bool> f_setStrings;
extern std::atomic<bool> f_setupBrushParameters;
extern std::atomic<int> f_changeShowBcg;
extern std::atomic<int> f_changeCollapse;
extern std::atomic<int> f_changeClearBack;
extern std::atomic<bool> f_centerTexture;
extern std::atomic<int> f_newBrushPreset;
extern std::atomic<int> f_changeShowLayers;
extern std::atomic<bool> f_showCursor;
extern std::atomic<bool> f_newArtwork;
extern std::atomic<bool> bMove;
extern AtomicPoint moveTo;

// Brush parameters.
extern std::atomic<int> f_PartNum;
extern std::atomic<float> f_velInf;
extern std::atomic<float> f_DistZ;
extern std::atomic<float> f_slow1;
extern std::atomic<float> f_NormLen;
extern std::atomic<float> f_mass1;
extern std::atomic<float> f_mass2;
extern std::atomic<float> f_randd;
extern std::atomic<int> f_modes;
extern std::atomic<int> f_PartStep;
extern std::atomic<int> f_paintDetail;
extern std::atomic<float> f_fadez;
extern std::atomic<bool> f_fillz;
extern std::atomic<bool> f_spline;
extern std::atomic<float> f_opacityz;

// Tool and colour.
extern std::atomic<bool> f_painterz;
extern std::atomic<bool> f_eraserz;
extern std::atomic<float> f_eraserzSize;
extern std::atomic<float> f_eraserzOpacity;
extern std::atomic<int> f_perpixelz;
extern std::atomic<int> f_perpixelzMode;
extern std::atomic<float> f_perpixelzTime;
extern std::atomic<float> f_perpixelzTimeVal;
extern std::atomic<bool> f_additive;

const int kPaletteSize = 3201;
// Gradient stops, written by the gradient tool and the brush library and
// rebuilt by the engine: hold gPaletteMutex for every access.
extern std::mutex gPaletteMutex;
extern int paletteRadd[kPaletteSize];
extern int paletteGadd[kPaletteSize];
extern int paletteBadd[kPaletteSize];
extern int paletteSet[kPaletteSize];
// The active palette lives on the render thread only.
extern int paletteR[kPaletteSize];
extern int paletteG[kPaletteSize];
extern int paletteB[kPaletteSize];
extern std::atomic<int> paletteBasicRadd;
extern std::atomic<int> paletteBasicGadd;
extern std::atomic<int> paletteBasicBadd;
extern std::atomic<float> paletteBasicH;
extern std::atomic<float> paletteBasicS;
extern std::atomic<float> paletteBasicL;

// Canvas, files and view.
extern std::atomic<int> f_sx;
extern std::atomic<int> f_sy;
extern std::atomic<int> f_bcgR;
extern std::atomic<int> f_bcgG;
extern std::atomic<int> f_bcgB;
extern std::atomic<int> f_alphaBCG;
extern std::atomic<int> f_alphaBCGsave;
extern std::atomic<int> f_premultiAlpha;
extern std::atomic<bool> f_export;
extern std::atomic<int> f_bcgR_choose;
extern std::atomic<int> f_bcgG_choose;
extern std::atomic<int> f_bcgB_choose;
extern std::atomic<bool> f_findAutoBcgColor;
extern std::atomic<bool> f_premultiplyAlpha;
extern std::atomic<bool> f_fixedLoadPic;
extern std::atomic<bool> gSaveAs;
extern std::atomic<bool> gFileSaved;
extern std::atomic<bool> f_showBcg;
extern std::atomic<int> f_scalezRangePos;
extern std::atomic<int> f_undoMax;

// Window placement.
extern std::atomic<int> f_borderWidth;
extern std::atomic<int> f_borderHeight;
extern std::atomic<bool> bFrame;
extern std::atomic<int> gBasePositionX;
extern std::atomic<int> gBasePositionY;
extern std::atomic<int> gGuiPositionX;
extern std::atomic<int> gGuiPositionY;

// Class log files are written while this is on.
extern std::atomic<bool> gLogging;

// Guards the two preset pictures while the engine fills them and the brush
// library saves them.
extern std::mutex gBrushPreviewMutex;

// Border sizes of the drawing window from the sizing-frame metric.
void computeBorders(int frameMetric, int& borderWidth, int& borderHeight);
