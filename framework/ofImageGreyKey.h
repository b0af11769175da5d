#pragma once
// Grey PNG pictures whose tRNS chunk names one grey value as transparent.
// FreeImage compares that value with the samples after it has widened them
// to 8 bits or gamma-corrected them, so most such pictures lose their
// transparency; these functions find it again from the file's own samples.
//
// Plain functions over a file and a pixel buffer: no FreeImage, no GL. The
// file is untrusted; libpng reads it, and every failure is a false result.

#include <string>

namespace greykey {

struct Key {
    int width = 0;
    int height = 0;
    int bitDepth = 0;  // 1, 2, 4, 8 or 16
    bool interlaced = false;
    unsigned value = 0;  // masked to the bit depth, as the PNG format asks
};

// True, with `key` filled in, when `path` is a PNG of colour type 0 (grey)
// with a tRNS chunk; false for any other file, readable or not.
bool findKey(const std::string& path, Key& key);

// Decodes the grey samples of `path` and sets the alpha byte of every pixel
// of `rgba` (w x h pixels of R, G, B, A, rows top-down): 0 where the sample
// equals the key, 255 elsewhere. The colour bytes are left alone. False, with
// the reason in `why` when given, when the file is not a keyed grey PNG of
// exactly w x h pixels or cannot be decoded; the alpha bytes may then hold
// part of the result.
bool applyKeyAlpha(const std::string& path, unsigned char* rgba, int w, int h, std::string* why = nullptr);

}  // namespace greykey
