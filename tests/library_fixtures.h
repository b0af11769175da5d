#pragma once
// Library folders as a user may leave them: pictures far larger than any
// library picture, files that only claim a size, and entries that are no
// regular files. Written with zlib alone, so making a 10000 x 10000 picture
// costs a few kilobytes of memory.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "services_fixture.h"

namespace libtest {

inline void putBe32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xff);
}

inline void putChunk(std::string& out, const char* type, const std::string& data) {
    putBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    putBe32(out, static_cast<std::uint32_t>(
                     crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// The signature and an IHDR for a w x h picture of 1-bit grey.
inline std::string pngHead(std::uint32_t w, std::uint32_t h) {
    std::string out("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    putBe32(ihdr, w);
    putBe32(ihdr, h);
    ihdr += std::string("\x01\x00\x00\x00\x00", 5);  // depth 1, grey, deflate, no filter, no interlace
    putChunk(out, "IHDR", ihdr);
    return out;
}

// A real, complete w x h black PNG, compressed row by row.
inline bool writeBlackPng(const std::string& path, std::uint32_t w, std::uint32_t h) {
    std::string out = pngHead(w, h);
    z_stream z{};
    if (deflateInit(&z, 9) != Z_OK)
        return false;
    const std::string row(1 + (w + 7) / 8, '\0');  // filter byte, then the bits
    std::string idat;
    std::vector<unsigned char> buffer(64 * 1024);
    for (std::uint32_t y = 0; y <= h; ++y) {
        const bool last = y == h;
        z.next_in = last ? nullptr : reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        z.avail_in = last ? 0 : static_cast<uInt>(row.size());
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            idat.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    putChunk(out, "IDAT", idat);
    putChunk(out, "IEND", "");
    return svctest::writeFile(path, out);
}

// A small file whose header claims w x h pixels and whose data holds a few
// bytes of them.
inline bool writeClaimingPng(const std::string& path, std::uint32_t w, std::uint32_t h) {
    std::string out = pngHead(w, h);
    putChunk(out, "IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9));
    putChunk(out, "IEND", "");
    return svctest::writeFile(path, out);
}

// The process's peak resident memory in kB since the last resetPeakMemory.
inline long peakMemoryKb() {
    const std::string status = svctest::readFile("/proc/self/status");
    const std::string::size_type at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
}
inline bool resetPeakMemory() { return svctest::writeFile("/proc/self/clear_refs", "5"); }

}  // namespace libtest
