#pragma once
// Checks made before FreeImage decodes a picture, for readers that trust
// what a damaged file's header claims.

#include <cstddef>
#include <cstdint>
#include <string>

namespace imageguard {

constexpr std::size_t kTgaHeaderSize = 18;

// Why a TGA file of `fileSize` bytes that starts with `header`
// (kTgaHeaderSize bytes) cannot hold the picture it claims; empty when it
// can.
std::string tgaProblem(const unsigned char* header, std::uint64_t fileSize);

// The same for a file on disk, whose RLE packets must also cover every
// pixel and none beyond; a file that cannot be read is a problem.
std::string tgaFileProblem(const std::string& path);

// Why a PNM (PBM, PGM, PPM) file cannot hold the picture its header claims,
// or has no well-formed header at all; empty when it can. `head` holds the
// file's first bytes (the header must lie within them).
std::string pnmProblem(const std::string& head, std::uint64_t fileSize);
std::string pnmFileProblem(const std::string& path);

// Why a PNG file of `fileSize` bytes cannot be what its chunks claim: a
// chunk longer than the format allows or than the rest of the file, before
// IEND. `read(offset, buffer, n)` fills n bytes at offset and says whether it
// could. Empty when every chunk fits (a file cut inside a chunk does not).
using ReadAt = bool (*)(void* source, std::uint64_t offset, unsigned char* buffer, std::size_t n);
std::string pngProblem(ReadAt read, void* source, std::uint64_t fileSize);
std::string pngFileProblem(const std::string& path);

// Why the first picture of a GIF file (the one that loads) claims more than
// `maxPixels`, or more than `bytes` (the whole file, or its first megabyte)
// can hold; empty when it does not, or when the file holds no picture (the
// reader refuses that by itself). FreeImage allocates and clears the claimed
// size before it decodes a byte, and fills what the file lacks.
constexpr std::uint64_t kGifPixelsPerByte = 4096 * 8 / 3;
std::string gifProblem(const std::string& bytes, std::uint64_t maxPixels);
std::string gifFileProblem(const std::string& path, std::uint64_t maxPixels);

// Why a WebP file of `fileSize` bytes cannot hold the lossy picture it
// claims; empty when it can, or when it holds no lossy picture (lossless
// ones can be tiny). The decoder reads a short first partition as if zeros
// followed and decodes the whole claimed picture (seconds for a few bytes);
// a sound one holds at least one bit a macroblock (an encoder spends over
// three on a flat picture).
std::string webpProblem(ReadAt read, void* source, std::uint64_t fileSize);
std::string webpFileProblem(const std::string& path);

// Why a Photoshop file's picture cannot be read safely; empty when it can,
// or when it is compressed in another way than RLE. FreeImage's reader
// clears a negative length when a row's RLE packets hold more than the row,
// or when the row lengths claim more than the file holds, and it writes
// past its buffers on a size over the format's limit.
std::string psdFileProblem(const std::string& path);

// Why an uncompressed BMP file of `fileSize` bytes, whose first `got` bytes
// are `head`, cannot hold the rows its header claims; empty when it can, or
// when its pixels are compressed (an RLE picture may end early). FreeImage
// reads the claimed rows one by one past the end of the file (seconds for a
// few bytes) and gives back a picture of nothing.
constexpr std::size_t kBmpHeadSize = 50;
std::string bmpProblem(const unsigned char* head, std::size_t got, std::uint64_t fileSize);
std::string bmpFileProblem(const std::string& path);

// Why a PCX file whose first `got` bytes are `head` cannot be read safely;
// empty when it can. FreeImage's reader reads each row's pixels from a
// buffer of the row length the header gives, past its end when that length
// is too short for the picture's width.
constexpr std::size_t kPcxHeadSize = 68;
std::string pcxProblem(const unsigned char* head, std::size_t got);
std::string pcxFileProblem(const std::string& path);

constexpr std::size_t kRasHeaderSize = 32;
constexpr std::uint64_t kRasMaxSide = 65535;

// Why a Sun Raster file whose first `got` bytes are `header` cannot be read
// safely; empty when it can. FreeImage's reader counts columns and rows in
// 16 bits: a wider 24- or 32-bit picture writes past its end, a taller one
// never ends, and a wider 8-bit one loads black. A colour map on a 24-bit
// picture makes it write through a null palette.
std::string rasProblem(const unsigned char* header, std::size_t got);
std::string rasFileProblem(const std::string& path);

}  // namespace imageguard
