#pragma once
// Creating, opening and saving the artwork, as plain functions over the
// engine's canvas pictures and buffers. Nothing here reads a setting global
// or touches GL, wx windows or the engine: the engine passes the globals'
// values in and writes the results back.
//
// How the engine calls it (render thread); names are narrow UTF-8 text and
// the pixel pointers are refreshed after every call that takes a picture:
//   newArtwork:   clearMemoryLoad(); if (!artwork::newArtworkLayers(frontLayer,
//                 backLayer, displayImage, f_sx, f_sy, f_alphaBCG, bg)) fall back
//                 (renewArtwork); else go on with updateAllTexture and set-up.
//   loadArtwork (artwork): if (!artwork::readArtworkPicture(frontLayer, name))
//                 show kCouldNotLoadPicture; else clearMemoryLoad(), then
//                 artwork::adoptArtworkPicture(...); on kNoMemory fall back (the
//                 file names stay "wyrleArtwork.png"); on kOpened write the
//                 result into the globals, repaint the swatch, updateAllTexture,
//                 setupParameters(), copy the names, clear gSaveAs.
//   loadArtwork (back layer): undo::keepBackBeforeChange(...), undoPending,
//                 then artwork::loadBackLayer(...) and its message, if any.
//   saveArtwork:  artwork::saveArtwork(...); on false show kCouldNotSave with
//                 kCaptionInfo and clear gSaveAs.
//   setWindowName: artwork::windowTitle(...).
//   clearScene, updateAllTexture: canvas::fillLayer and canvas::recompose.

#include <cstddef>
#include <string>

#include "core/pixels/canvas.h"
#include "core/pixels/palette.h"

class ofImage;

namespace artwork {

// File name of every new artwork.
extern const char* const kDefaultArtworkName;  // "wyrleArtwork.png"

// Messages (all with an OK button, centred).
extern const char* const kCaptionInfo;           // "Info"
extern const char* const kCouldNotLoadPicture;   // "Could not load picture"
extern const char* const kCouldNotLoadBack;      // "Could not load background picture"
extern const char* const kBackNoMemory;          // "Could not load background picture, not enough memory."
extern const char* const kNoMemory;              // "Could not allocate enough memory, changing to default settings."
extern const char* const kCaptionNoMemory;       // "Info: Not enough memory"
extern const char* const kCouldNotSave;          // "Could not save picture."

// --- The artwork comment ----------------------------------------------------

// `ArtworkMetadata`: "bRGB r g b", split at blanks; at least four tokens, the
// first exactly "bRGB", the next three decimal integers. Values are clamped
// into 0..255. Any other text gives false and leaves `bg` alone. Safe for
// any input, zero bytes included.
bool parseArtworkMetadata(const std::string& text, palette::Rgb& bg);
// The comment for a background colour: "bRGB r g b".
std::string formatArtworkMetadata(palette::Rgb bg);

// The background colour from the comment of the picture at `path`: PNG for
// the extensions ".png" and ".PNG", JPEG for ".jpg", ".JPG", ".jpeg" and
// ".JPEG" (compared exactly). False, `bg` unchanged, when there is none.
bool backgroundFromComment(const std::string& path, palette::Rgb& bg);

// --- Pixels of an opened picture ---------------------------------------------

// Background detection over RGB or RGBA pixels, column by column. With alpha:
// the first pixel whose alpha is 0 (false, `bg` unchanged, when none is).
// Without: the most populated brightness class trunc(0.33 x (R + G + B))
// (equal counts: the lowest class) and the last pixel scanned in it.
bool findBcgColor(canvas::PixelSpan picture, palette::Rgb& bg);

// RGBA only: colour := colour x A / 255, then A := the canvas alpha of the
// new colour against `bg`.
void premultiplyAlpha(canvas::PixelSpan picture, palette::Rgb bg);

// --- New and opened artwork ------------------------------------------------------

// Allocates the three canvas pictures (texture off) at w x h, RGBA when
// `alpha`, fills front and back with `bg` (alpha 0) and makes the display a
// copy of the front. False when the size is empty or too large, or memory
// ran out; the caller then falls back to the default canvas.
bool newArtworkLayers(ofImage& front, ofImage& back, ofImage& display, int w, int h, bool alpha, palette::Rgb bg);

// Loads `path` into the front layer (texture off). False, with the front
// layer as it was, when it cannot be read.
bool readArtworkPicture(ofImage& front, const std::string& path);

struct OpenOptions {
    palette::Rgb chosen{0, 0, 0};  // f_bcgR_choose, f_bcgG_choose, f_bcgB_choose
    bool findAuto = true;          // f_findAutoBcgColor
    bool premultiply = false;      // f_premultiplyAlpha
};

struct OpenResult {
    int width = 0;           // canvasWidth, f_sx
    int height = 0;          // canvasHeight, f_sy
    bool alpha = false;      // f_alphaBCG, f_alphaBCGsave
    bool backAlpha = false;  // f_alphaBCGload (always equal to alpha)
    palette::Rgb bg{0, 0, 0};  // f_bcgR, f_bcgG, f_bcgB
};

enum class OpenStatus {
    kOpened,    // the canvas pictures are ready; `result` holds the new values
    kNoMemory,  // a conversion ran out of memory: fall back to the default canvas
};

// After readArtworkPicture: grey becomes RGB, the display is allocated to
// match, the background colour comes from the chosen one, the comment or
// detection, the picture is premultiplied when asked, and the old back layer
// is stretched and converted to the new canvas (or filled with the
// background colour when that fails). `path` is the name just read.
OpenStatus adoptArtworkPicture(ofImage& front, ofImage& back, ofImage& display, const std::string& path,
                               const OpenOptions& options, OpenResult& result);

enum class BackStatus {
    kLoaded,    // the picture, stretched to the canvas, is the back layer
    kNotRead,   // kCouldNotLoadBack; the back layer is as it was
    kNoFit,     // kBackNoMemory; the back layer holds the background colour
                // (or, if even a w x h layer cannot be had, is as it was)
};

// Reads `path` into the back layer, stretched to w x h and converted to RGBA
// when `alpha`, else RGB. The back layer is replaced only once the picture
// has its final form, so it is never left half-made.
BackStatus loadBackLayer(ofImage& back, const std::string& path, int w, int h, bool alpha, palette::Rgb bg);

// --- Title and saving -----------------------------------------------------------

// "cat.png | 1024x768 pixels | 70% | Back Layer Off": the name after its last
// "/" or "\" (unless that is the first character), the size, " pixels with
// Alpha" or " pixels", the zoom in per cent, the back layer's state and
// " (A)" when the back layer has alpha.
std::string windowTitle(const std::string& name, int w, int h, bool alpha, float zoomFactor, bool showBack,
                        bool backAlpha);

struct SaveOptions {
    bool exportFile = false;     // f_export: an export, not the native save
    bool withAlpha = false;      // f_alphaBCGsave
    bool straightAlpha = false;  // f_premultiAlpha: the export writes straight alpha
    bool showBack = false;       // f_showBcg
    palette::Rgb bg{0, 0, 0};
};

// Writes the artwork to `path` (the data-folder rule applies). The format
// follows the extension, PNG when there is none; unknown extensions fail.
// The native save writes the front layer; an export writes what is seen
// (front over back while the back layer is shown). Alpha is written when
// asked, the canvas has it and the format holds it (PNG, TGA, TIFF, BMP);
// other formats get 24 bits. Straight alpha is bg + (C - bg) x 255 / A,
// clamped. A native PNG also carries `ArtworkMetadata`. The file is written
// beside the target and renamed over it, so a failure leaves an existing
// file as it was; then the result is false and `why` says what went wrong.
bool saveArtwork(const std::string& path, canvas::PixelSpan front, canvas::PixelSpan back, const SaveOptions& options,
                 std::string* why = nullptr);

}  // namespace artwork
