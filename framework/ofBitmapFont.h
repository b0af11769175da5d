#pragma once
// The fixed 8x13 bitmap font used for on-screen text.

#include <string>

// 256 glyph records indexed by character code (ISO 8859-1). Each record is
// 15 bytes: the advance width (8), then 14 rows, bottom row first, most
// significant bit leftmost. The bottom row lies 3 pixels below the baseline.
extern const unsigned char* const bmpChar_8x13_Map[256];

// Draws text with its first baseline at (x, y) in the current projection.
// A newline starts the next line 13.6 pixels lower (truncated); bytes 32 to
// 127 are drawn, every other byte is skipped.
void ofDrawBitmapString(std::string text, float x, float y);

// Draws one glyph at the current raster position and advances it by the
// glyph's width. Codes outside 0..255 draw nothing.
void ofDrawBitmapCharacter(int character);
