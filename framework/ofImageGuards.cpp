#include "framework/ofImageGuards.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace imageguard {

namespace {

unsigned le16(const unsigned char* p) { return static_cast<unsigned>(p[0] | (p[1] << 8)); }

std::string n(std::uint64_t v) { return std::to_string(v); }

struct TgaLayout {
    bool rle = false;
    std::uint64_t dataStart = 0;  // after the header, the id and the colour map
    std::uint64_t pixels = 0;
    std::uint64_t bytesPerPixel = 0;
};

std::string tgaLayout(const unsigned char* header, std::uint64_t fileSize, TgaLayout& out) {
    if (fileSize < kTgaHeaderSize) return "the file is shorter than a TGA header";
    const unsigned idLength = header[0];
    const unsigned mapType = header[1];
    const unsigned imageType = header[2];
    const std::uint64_t mapLength = le16(header + 5);
    const unsigned mapEntryBits = header[7];
    const std::uint64_t width = le16(header + 12);
    const std::uint64_t height = le16(header + 14);
    const unsigned depth = header[16];

    if (mapType > 1) return "unknown colour map type " + n(mapType);
    bool rle = false;
    bool indexed = false;
    switch (imageType) {
        case 1: indexed = true; break;
        case 2: case 3: break;
        case 9: indexed = true; rle = true; break;
        case 10: case 11: rle = true; break;
        default: return "unknown image type " + n(imageType);
    }
    // FreeImage reads such a picture from where its colour map starts.
    if (!indexed && mapType == 1 && mapLength > 0) return "a colour map on a picture without colour indices";
    if (width == 0 || height == 0) return "the picture is " + n(width) + " x " + n(height) + " pixels";
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return "unsupported pixel depth " + n(depth);

    const std::uint64_t idEnd = kTgaHeaderSize + idLength;
    if (idEnd > fileSize) return "the image id runs past the end of the file";
    const std::uint64_t mapBytes = mapType == 1 ? mapLength * ((mapEntryBits + 7) / 8) : 0;
    if (idEnd + mapBytes > fileSize) return "the colour map runs past the end of the file";

    out.rle = rle;
    out.dataStart = idEnd + mapBytes;
    out.pixels = width * height;
    out.bytesPerPixel = (depth + 7) / 8;
    const std::uint64_t data = fileSize - out.dataStart;
    const std::string claim = n(width) + " x " + n(height) + " pixels need ";
    const std::string holds = ", the file holds " + n(data);
    if (!rle) {
        const std::uint64_t need = out.pixels * out.bytesPerPixel;
        return data < need ? claim + n(need) + " bytes" + holds : std::string();
    }
    // A packet covers at most 128 pixels. FreeImage also reads the packets
    // through a buffer of data / height bytes and runs past it when a
    // packet's colour does not fit, so ask for one packet's bytes a row too
    // (what every writer that ends packets at row ends produces).
    const std::uint64_t packets = std::max((out.pixels + 127) / 128, height);
    const std::uint64_t need = packets * (1 + out.bytesPerPixel);
    return data < need ? claim + "at least " + n(need) + " bytes of RLE data" + holds : std::string();
}

// Reads a file forward in large pieces.
class ChunkReader {
public:
    explicit ChunkReader(std::FILE* f) : file(f), buffer(1 << 16) {}
    int byte() { return at < end || fill() ? buffer[at++] : -1; }
    bool skip(std::uint64_t count) {
        while (count > 0) {
            if (at == end && !fill()) return false;
            const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(count, end - at));
            at += step;
            count -= step;
        }
        return true;
    }

private:
    bool fill() {
        end = std::fread(buffer.data(), 1, buffer.size(), file);
        at = 0;
        return end > 0;
    }
    std::FILE* file;
    std::vector<unsigned char> buffer;
    std::size_t at = 0, end = 0;
};

// FreeImage writes a packet that reaches past the last pixel into the
// memory after the picture, so the packets must add up exactly.
std::string rlePacketProblem(std::FILE* file, const TgaLayout& layout) {
    ChunkReader in(file);
    std::uint64_t covered = 0;
    while (covered < layout.pixels) {
        const int packet = in.byte();
        if (packet < 0) break;
        const std::uint64_t count = (packet & 0x7F) + 1;
        if (covered + count > layout.pixels) return "an RLE packet runs past the last pixel";
        if (!in.skip((packet & 0x80) ? layout.bytesPerPixel : count * layout.bytesPerPixel)) break;
        covered += count;
    }
    return covered < layout.pixels ? "the RLE data ends after " + n(covered) + " of " + n(layout.pixels) + " pixels"
                                   : std::string();
}

}  // namespace

std::string tgaProblem(const unsigned char* header, std::uint64_t fileSize) {
    TgaLayout layout;
    return tgaLayout(header, fileSize, layout);
}

std::string tgaFileProblem(const std::string& path) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    struct stat st;
    if (!file || fstat(fileno(file.get()), &st) != 0 || st.st_size < 0) return "the file cannot be read";
    unsigned char header[kTgaHeaderSize] = {};
    const std::size_t got = std::fread(header, 1, sizeof header, file.get());
    TgaLayout layout;
    std::string problem = tgaLayout(header, got < sizeof header ? got : static_cast<std::uint64_t>(st.st_size), layout);
    if (!problem.empty() || !layout.rle) return problem;
    if (fseeko(file.get(), static_cast<off_t>(layout.dataStart), SEEK_SET) != 0) return "the file cannot be read";
    return rlePacketProblem(file.get(), layout);
}

namespace {

// Skips white space and "#" comments; false at the end of `head`.
bool skipPnmSpace(const std::string& head, std::size_t& pos) {
    while (pos < head.size()) {
        const char c = head[pos];
        if (c == '#') {
            while (pos < head.size() && head[pos] != '\n' && head[pos] != '\r') ++pos;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            ++pos;
        } else {
            return true;
        }
    }
    return false;
}

// A decimal header field of at most 9 digits, followed by white space.
bool pnmNumber(const std::string& head, std::size_t& pos, std::uint64_t& value) {
    if (!skipPnmSpace(head, pos)) return false;
    std::size_t digits = 0;
    value = 0;
    while (pos < head.size() && head[pos] >= '0' && head[pos] <= '9') {
        if (++digits > 9) return false;
        value = value * 10 + static_cast<std::uint64_t>(head[pos] - '0');
        ++pos;
    }
    return digits > 0 && pos < head.size() && std::isspace(static_cast<unsigned char>(head[pos]));
}

}  // namespace

std::string pnmProblem(const std::string& head, std::uint64_t fileSize) {
    if (head.size() < 2 || head[0] != 'P' || head[1] < '1' || head[1] > '6') return "no PNM header";
    const int kind = head[1] - '0';
    std::size_t pos = 2;
    std::uint64_t w = 0, h = 0, maxval = 1;
    if (!pnmNumber(head, pos, w) || !pnmNumber(head, pos, h)) return "the PNM header has no size";
    if (kind != 1 && kind != 4 && (!pnmNumber(head, pos, maxval) || maxval == 0 || maxval > 65535))
        return "the PNM header has no sound maximum value";
    if (w == 0 || h == 0) return "the PNM picture has no pixels";
    const std::uint64_t samples = (kind == 3 || kind == 6) ? 3 : 1;
    const std::uint64_t sampleBytes = maxval > 255 ? 2 : 1;
    std::uint64_t need;  // the least data the claimed picture takes
    if (kind == 4)
        need = (w + 7) / 8 * h;
    else if (kind >= 5)
        need = w * h * samples * sampleBytes;
    else
        need = w * h * samples;  // text: at least one character a sample
    const std::uint64_t data = fileSize > pos + 1 ? fileSize - (pos + 1) : 0;
    if (data < need)
        return std::to_string(w) + " x " + std::to_string(h) + " pixels need at least " + std::to_string(need) +
               " bytes of data, the file holds " + std::to_string(data);
    return std::string();
}

std::string pnmFileProblem(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "the file cannot be read";
    struct stat st;
    std::string head(4096, '\0');
    const bool sized = fstat(fileno(f), &st) == 0 && st.st_size >= 0;
    head.resize(std::fread(&head[0], 1, head.size(), f));
    std::fclose(f);
    if (!sized) return "the file cannot be read";
    return pnmProblem(head, static_cast<std::uint64_t>(st.st_size));
}

std::string pngProblem(ReadAt read, void* source, std::uint64_t fileSize) {
    // FreeImage's PNG reader allocates and reads what a chunk claims, so a few
    // hundred damaged bytes claiming a huge text chunk keep it busy for seconds.
    constexpr std::uint64_t kSignature = 8, kMaxLength = 0x7fffffffu;
    std::uint64_t offset = kSignature;
    unsigned char head[8];
    while (offset + 12 <= fileSize) {
        if (!read(source, offset, head, sizeof head)) return "the file cannot be read";
        const std::uint64_t length = (std::uint64_t(head[0]) << 24) | (std::uint64_t(head[1]) << 16) |
                                     (std::uint64_t(head[2]) << 8) | std::uint64_t(head[3]);
        if (length > kMaxLength) return "a PNG chunk claims more bytes than the format allows";
        if (offset + 12 + length > fileSize)
            return "a PNG chunk claims " + std::to_string(length) + " bytes, the file holds " +
                   std::to_string(fileSize - offset - 12) + " more";
        if (std::memcmp(head + 4, "IEND", 4) == 0) return std::string();
        offset += 12 + length;
    }
    return std::string();  // no IEND: left to the reader, which refuses it
}

namespace {

// Runs `check` over the file at `path`, read at offsets.
std::string checkFileAt(const std::string& path, std::string (*check)(ReadAt, void*, std::uint64_t)) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "the file cannot be read";
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || st.st_size < 0) {
        std::fclose(f);
        return "the file cannot be read";
    }
    const std::string problem = check(
        [](void* source, std::uint64_t offset, unsigned char* buffer, std::size_t n) {
            std::FILE* file = static_cast<std::FILE*>(source);
            return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(buffer, 1, n, file) == n;
        },
        f, static_cast<std::uint64_t>(st.st_size));
    std::fclose(f);
    return problem;
}

}  // namespace

std::string pngFileProblem(const std::string& path) { return checkFileAt(path, pngProblem); }

std::string webpProblem(ReadAt read, void* source, std::uint64_t fileSize) {
    unsigned char head[12];
    if (fileSize < 12 || !read(source, 0, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WEBP", 4) != 0)
        return std::string();  // left to the reader
    // Chunks (fourcc, length, data padded to an even length) up to the
    // first picture; a sound file has a few before it.
    std::uint64_t offset = 12;
    for (int chunk = 0; chunk < 64 && offset + 8 <= fileSize; ++chunk) {
        if (!read(source, offset, head, 8)) return "the file cannot be read";
        const std::uint64_t length = le16(head + 4) | (std::uint64_t(le16(head + 6)) << 16);
        if (std::memcmp(head, "VP8L", 4) == 0) return std::string();
        if (std::memcmp(head, "VP8 ", 4) != 0) {
            offset += 8 + length + (length & 1);
            continue;
        }
        // A key frame: a 3-byte tag holding the first partition's length,
        // the start code, then 14 bits of width and of height.
        if (length < 10 || offset + 18 > fileSize || !read(source, offset + 8, head, 10)) return std::string();
        const unsigned tag = head[0] | (head[1] << 8) | (head[2] << 16);
        if ((tag & 1) != 0 || head[3] != 0x9d || head[4] != 0x01 || head[5] != 0x2a) return std::string();
        const std::uint64_t firstPartition = tag >> 5;
        const std::uint64_t w = le16(head + 6) & 0x3fff, h = le16(head + 8) & 0x3fff;
        const std::uint64_t macroblocks = ((w + 15) / 16) * ((h + 15) / 16);
        const std::uint64_t need = (macroblocks + 7) / 8;
        if (firstPartition < need)
            return n(w) + " x " + n(h) + " pixels need at least " + n(need) + " bytes of modes, the file gives " +
                   n(firstPartition);
        return std::string();
    }
    return std::string();
}

std::string webpFileProblem(const std::string& path) { return checkFileAt(path, webpProblem); }

namespace {

unsigned gifWord(const std::string& b, std::size_t pos) {
    return static_cast<unsigned char>(b[pos]) | (static_cast<unsigned>(static_cast<unsigned char>(b[pos + 1])) << 8);
}

std::string tooManyPixels(std::uint64_t w, std::uint64_t h, std::uint64_t maxPixels) {
    return std::to_string(w) + " x " + std::to_string(h) + " pixels are more than " + std::to_string(maxPixels);
}

}  // namespace

std::string gifProblem(const std::string& b, std::uint64_t maxPixels) {
    if (b.size() < 13 || b.compare(0, 3, "GIF") != 0) return std::string();
    // The global colour table follows the screen descriptor when its flag is set.
    std::size_t pos = 13;
    const unsigned screenFlags = static_cast<unsigned char>(b[10]);
    if (screenFlags & 0x80) pos += 3u * (2u << (screenFlags & 7));
    // Extensions (0x21, a label, sub-blocks up to an empty one) come before
    // the first image descriptor (0x2C).
    while (pos < b.size() && static_cast<unsigned char>(b[pos]) == 0x21) {
        pos += 2;
        while (pos < b.size() && b[pos] != 0) pos += 1 + static_cast<unsigned char>(b[pos]);
        ++pos;
    }
    if (pos + 9 >= b.size() || static_cast<unsigned char>(b[pos]) != 0x2C) return std::string();
    const std::uint64_t w = gifWord(b, pos + 5), h = gifWord(b, pos + 7);
    if (w * h > maxPixels) return tooManyPixels(w, h, maxPixels);
    // One LZW code of at least 3 bits gives at most 4096 pixels.
    if (w * h > kGifPixelsPerByte * b.size())
        return std::to_string(w) + " x " + std::to_string(h) + " pixels are more than a file of " +
               std::to_string(b.size()) + " bytes can hold";
    return std::string();
}

std::string gifFileProblem(const std::string& path, std::uint64_t maxPixels) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "the file cannot be read";
    // Extensions may run long before the first picture; a lot of the file is read.
    std::string bytes(1 << 20, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), f));
    std::fclose(f);
    return gifProblem(bytes, maxPixels);
}

namespace {

std::uint64_t be(const unsigned char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool readAt(std::FILE* f, std::uint64_t offset, unsigned char* buffer, std::size_t n) {
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(buffer, 1, n, f) == n;
}

}  // namespace

std::string psdFileProblem(const std::string& path) {
    File table(std::fopen(path.c_str(), "rb")), data(std::fopen(path.c_str(), "rb"));
    struct stat st;
    if (!table || !data || fstat(fileno(table.get()), &st) != 0 || st.st_size < 0) return "the file cannot be read";
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    unsigned char head[26];
    if (!readAt(table.get(), 0, head, sizeof head) || std::memcmp(head, "8BPS", 4) != 0) return std::string();
    const std::uint64_t version = be(head + 4, 2);
    if (version != 1 && version != 2) return std::string();  // left to the reader
    const std::uint64_t channels = be(head + 12, 2), h = be(head + 14, 4), w = be(head + 18, 4);
    const std::uint64_t depth = be(head + 22, 2);
    if (depth != 1 && depth != 8 && depth != 16 && depth != 32) return "unsupported pixel depth " + n(depth);
    // The reader's own size check comes after it has worked (and written)
    // through the claimed rows.
    const std::uint64_t maxSide = version == 1 ? 30000 : 300000;
    if (w > maxSide || h > maxSide)
        return "a picture of " + n(w) + " x " + n(h) + " pixels is over the format's " + n(maxSide) +
               " pixels a side";

    // The colour mode data, the image resources and the layers come first,
    // each after its length.
    std::uint64_t offset = sizeof head;
    const std::string cut = "the file ends before the picture";
    for (int lengthBytes : {4, 4, version == 2 ? 8 : 4}) {
        unsigned char length[8];
        if (offset + lengthBytes > size || !readAt(table.get(), offset, length, lengthBytes)) return cut;
        offset += lengthBytes + be(length, lengthBytes);
    }
    unsigned char compression[2];
    if (offset + 2 > size || !readAt(table.get(), offset, compression, 2)) return cut;
    offset += 2;
    const std::uint64_t rows = channels * h, rowBytes = (w * depth + 7) / 8;
    if (be(compression, 2) == 0) {
        if (rows * rowBytes > size - offset)
            return n(w) + " x " + n(h) + " pixels need " + n(rows * rowBytes) + " bytes, the file holds " +
                   n(size - offset);
        return std::string();
    }
    if (be(compression, 2) != 1) return std::string();

    // The length of every row of every channel, then the rows' packets.
    const std::uint64_t countBytes = version == 2 ? 4 : 2;
    if (rows * countBytes > size - offset) return "the RLE row lengths run past the end of the file";
    const std::uint64_t dataStart = offset + rows * countBytes;
    if (fseeko(table.get(), static_cast<off_t>(offset), SEEK_SET) != 0 ||
        fseeko(data.get(), static_cast<off_t>(dataStart), SEEK_SET) != 0)
        return "the file cannot be read";
    ChunkReader lengths(table.get()), packets(data.get());
    std::uint64_t total = 0;
    for (std::uint64_t row = 0; row < rows; ++row) {
        std::uint64_t length = 0;
        for (std::uint64_t i = 0; i < countBytes; ++i) length = (length << 8) | static_cast<unsigned>(lengths.byte());
        total += length;
        if (total > size - dataStart) return "the RLE rows claim more bytes than the file holds";
        std::uint64_t used = 0, made = 0;
        while (used < length) {
            const int packet = packets.byte();
            if (packet < 0) return "the file cannot be read";
            ++used;
            if (packet == 128) continue;
            const std::uint64_t bytes = packet < 128 ? packet + 1 : 1;
            made += packet < 128 ? packet + 1 : 257 - packet;
            if (made > rowBytes) return "an RLE row holds more than the picture's " + n(rowBytes) + " bytes a row";
            if (used + bytes > length) return "an RLE packet runs past the end of its row";
            if (!packets.skip(bytes)) return "the file cannot be read";
            used += bytes;
        }
    }
    return std::string();
}

std::string bmpProblem(const unsigned char* head, std::size_t got, std::uint64_t fileSize) {
    if (got < 18 || head[0] != 'B' || head[1] != 'M') return std::string();  // left to the reader
    auto le32 = [head](int at) { return std::uint64_t(le16(head + at)) | (std::uint64_t(le16(head + at + 2)) << 16); };
    const std::uint64_t infoSize = le32(14);
    std::uint64_t w, h, bits, compression = 0, colours = 0;
    if (infoSize == 12) {  // the OS/2 header: 16-bit sizes
        if (got < 26) return std::string();
        w = le16(head + 18);
        h = le16(head + 20);
        bits = le16(head + 24);
    } else if (infoSize >= 40) {
        if (got < kBmpHeadSize) return std::string();
        const std::int64_t signedW = static_cast<std::int32_t>(le32(18)), signedH = static_cast<std::int32_t>(le32(22));
        w = static_cast<std::uint64_t>(signedW < 0 ? -signedW : signedW);
        h = static_cast<std::uint64_t>(signedH < 0 ? -signedH : signedH);  // negative: rows top first
        bits = le16(head + 28);
        compression = le32(30);
        colours = le32(46);
    } else {
        return std::string();
    }
    if (compression != 0 && compression != 3 && compression != 6) return std::string();
    // The pixels cannot start before the end of the headers and the palette.
    const std::uint64_t entries = bits > 8 ? 0 : colours == 0 || colours > (1u << bits) ? 1u << bits : colours;
    const std::uint64_t headers = 14 + infoSize + entries * (infoSize == 12 ? 3 : 4);
    // Some writers leave out the last row's padding.
    const std::uint64_t need = h == 0 ? 0 : (w * bits + 31) / 32 * 4 * (h - 1) + (w * bits + 7) / 8;
    const std::uint64_t holds = fileSize > headers ? fileSize - headers : 0;
    if (need > holds)
        return n(w) + " x " + n(h) + " pixels need " + n(need) + " bytes, the file holds " + n(holds);
    return std::string();
}

std::string bmpFileProblem(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"));
    struct stat st;
    if (!f || fstat(fileno(f.get()), &st) != 0 || st.st_size < 0) return "the file cannot be read";
    unsigned char head[kBmpHeadSize];
    const std::size_t got = std::fread(head, 1, sizeof head, f.get());
    return bmpProblem(head, got, static_cast<std::uint64_t>(st.st_size));
}

std::string pcxProblem(const unsigned char* head, std::size_t got) {
    if (got < kPcxHeadSize || head[0] != 0x0a) return std::string();  // left to the reader
    const unsigned xMin = le16(head + 4), xMax = le16(head + 8);
    if (xMax < xMin) return std::string();
    const std::uint64_t w = xMax - xMin + 1, bits = head[3], rowBytes = le16(head + 66);
    if (rowBytes * 8 < w * bits)
        return "rows of " + n(rowBytes) + " bytes cannot hold " + n(w) + " pixels of " + n(bits) + " bits";
    return std::string();
}

std::string pcxFileProblem(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return "the file cannot be read";
    unsigned char head[kPcxHeadSize];
    const std::size_t got = std::fread(head, 1, sizeof head, f.get());
    return pcxProblem(head, got);
}

std::string rasProblem(const unsigned char* header, std::size_t got) {
    if (got < kRasHeaderSize) return "the file is shorter than a Sun Raster header";
    auto be32 = [header](int at) { return be(header + at, 4); };
    if (be32(0) != 0x59a66a95u) return "no Sun Raster header";
    const std::uint64_t w = be32(4), h = be32(8), depth = be32(12), mapType = be32(24), mapLength = be32(28);
    if (w > kRasMaxSide || h > kRasMaxSide)
        return "a picture of " + n(w) + " x " + n(h) + " pixels is more than " + n(kRasMaxSide) +
               " pixels wide or tall";
    // The reader puts such a map into a palette the picture does not have.
    if (depth > 8 && mapType == 1 && mapLength > 0) return "a colour map on a picture without colour indices";
    return std::string();
}

std::string rasFileProblem(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return "the file cannot be read";
    unsigned char header[kRasHeaderSize];
    return rasProblem(header, std::fread(header, 1, sizeof header, f.get()));
}

}  // namespace imageguard
