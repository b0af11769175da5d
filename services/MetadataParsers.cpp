#include "services/MetadataParsers.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace metadata {
namespace {

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
const unsigned char kKeyword[8] = {'C', 'o', 'm', 'm', 'e', 'n', 't', 0};
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;  // the PNG limit
constexpr size_t kBlock = 64 * 1024;

uint32_t be32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void putBe32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

struct Chunk {
    uint64_t start = 0;  // offset of its length field
    uint32_t length = 0;
    unsigned char type[4] = {};

    uint64_t end() const { return start + 12 + length; }
    bool is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

// Walks every chunk header in bounds up to IEND, calling visit(chunk) for
// each (IEND included). False when the file is not a sound chunk list.
template <class Visit>
bool walkChunks(const ByteSource& png, Visit visit) {
    const uint64_t size = png.size();
    unsigned char head[8];
    if (!png.readAt(0, head, 8) || std::memcmp(head, kSignature, 8) != 0) return false;
    uint64_t pos = 8;
    for (;;) {
        Chunk c;
        c.start = pos;
        if (!png.readAt(pos, head, 8)) return false;
        c.length = be32(head);
        std::memcpy(c.type, head + 4, 4);
        if (c.length > kMaxChunkLength) return false;
        if (!std::all_of(c.type, c.type + 4, isLetter)) return false;
        if (c.end() > size) return false;
        if (!visit(c)) return false;
        if (c.is("IEND")) return true;
        pos = c.end();
    }
}

bool isComment(const ByteSource& png, const Chunk& c) {
    if (!c.is("tEXt") || c.length < sizeof kKeyword) return false;
    unsigned char key[sizeof kKeyword];
    return png.readAt(c.start + 8, key, sizeof key) && std::memcmp(key, kKeyword, sizeof key) == 0;
}

std::string untilZero(const unsigned char* bytes, size_t count) {
    const unsigned char* stop = std::find(bytes, bytes + count, 0);
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(stop - bytes));
}

bool copyRange(const ByteSource& from, uint64_t begin, uint64_t end, ByteSink& to) {
    std::vector<unsigned char> block(static_cast<size_t>(std::min<uint64_t>(kBlock, end - begin)));
    while (begin < end) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(end - begin, block.size()));
        if (!from.readAt(begin, block.data(), n) || !to.write(block.data(), n)) return false;
        begin += n;
    }
    return true;
}

}  // namespace

uint32_t crc(const unsigned char* bytes, size_t count) {
    uLong sum = crc32(0L, Z_NULL, 0);
    while (count > 0) {
        const uInt n = static_cast<uInt>(std::min<size_t>(count, UINT_MAX));
        sum = crc32(sum, bytes, n);
        bytes += n;
        count -= n;
    }
    return static_cast<uint32_t>(sum);
}

bool MemorySource::readAt(uint64_t offset, void* out, size_t count) const {
    if (offset > length || count > length - offset) return false;
    if (count) std::memcpy(out, bytes + offset, count);
    return true;
}

PngComment readPngComment(const ByteSource& png) {
    PngComment result;
    result.wellFormed = walkChunks(png, [&](const Chunk& c) {
        // A wrong CRC does not hide the text: the settings are still read.
        if (result.found || !isComment(png, c)) return true;
        unsigned char text[kMaxComment];
        const size_t n = std::min<size_t>(c.length - sizeof kKeyword, kMaxComment);
        if (!png.readAt(c.start + 8 + sizeof kKeyword, text, n)) return false;
        result.found = true;
        result.text = untilZero(text, n);
        return true;
    });
    if (!result.wellFormed) {
        result.found = false;
        result.text.clear();
    }
    return result;
}

bool writePngComment(const ByteSource& png, ByteSink& out, const char* text, size_t length) {
    if (!text || length > kMaxComment) return false;

    // Check the whole file first: a file we cannot walk is never rewritten.
    std::vector<Chunk> drop;
    Chunk iend;
    const bool sound = walkChunks(png, [&](const Chunk& c) {
        if (isComment(png, c)) drop.push_back(c);
        if (c.is("IEND")) iend = c;
        return true;
    });
    if (!sound) return false;

    std::vector<unsigned char> chunk(12 + sizeof kKeyword + length);
    putBe32(chunk.data(), static_cast<uint32_t>(sizeof kKeyword + length));
    std::memcpy(chunk.data() + 4, "tEXt", 4);
    std::memcpy(chunk.data() + 8, kKeyword, sizeof kKeyword);
    if (length) std::memcpy(chunk.data() + 16, text, length);
    putBe32(chunk.data() + chunk.size() - 4, crc(chunk.data() + 4, chunk.size() - 8));

    uint64_t pos = 0;
    for (const Chunk& c : drop) {
        if (!copyRange(png, pos, c.start, out)) return false;
        pos = c.end();
    }
    // IEND and anything trailing it stay as they were.
    return copyRange(png, pos, iend.start, out) && out.write(chunk.data(), chunk.size()) &&
           copyRange(png, iend.start, png.size(), out);
}

bool readJpgComment(const ByteSource& jpg, std::string& text) {
    unsigned char head[24];
    if (!jpg.readAt(0, head, sizeof head) || head[20] != 0xFF || head[21] != 0xFE) return false;
    const uint32_t segment = (uint32_t(head[22]) << 8) | head[23];  // counts its own two bytes
    if (segment < 2 || sizeof head + (segment - 2) > jpg.size()) return false;
    unsigned char bytes[kMaxComment];
    const size_t n = std::min<size_t>(segment - 2, kMaxComment);
    if (!jpg.readAt(sizeof head, bytes, n)) return false;
    text = untilZero(bytes, n);
    return true;
}

}  // namespace metadata
