#include "services/MetadataHandler.h"

#include "core/WyrleGlobals.h"
#include "services/Log.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    putBe32(chunk.data() + chunk.size() - 4, MetadataHandler::Crc_octets(chunk.data() + 4, chunk.size() - 8));

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

namespace {

// A regular file opened for reading and writing (a file we may not write
// counts as one we cannot open); FIFOs and devices are refused, never waited on.
class FileSource : public metadata::ByteSource {
public:
    explicit FileSource(const char* path) {
        fd = ::open(path, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            fd = -1;
        }
    }
    ~FileSource() override {
        if (fd >= 0) ::close(fd);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool ok() const { return fd >= 0; }
    mode_t mode() const { return st.st_mode & 07777; }
    uint64_t size() const override { return static_cast<uint64_t>(st.st_size); }

    bool readAt(uint64_t offset, void* out, size_t count) const override {
        if (offset > size() || count > size() - offset) return false;
        auto* p = static_cast<unsigned char*>(out);
        while (count > 0) {
            const ssize_t got = ::pread(fd, p, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;  // error, or the file shrank under us
            p += got;
            offset += static_cast<uint64_t>(got);
            count -= static_cast<size_t>(got);
        }
        return true;
    }

private:
    int fd = -1;
    struct stat st {};
};

class FdSink : public metadata::ByteSink {
public:
    explicit FdSink(int fd) : fd(fd) {}
    bool write(const void* data, size_t count) override {
        auto* p = static_cast<const unsigned char*>(data);
        while (count > 0) {
            const ssize_t put = ::write(fd, p, count);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            p += put;
            count -= static_cast<size_t>(put);
        }
        return true;
    }

private:
    int fd;
};

std::string pathOf(const wxString& name) {
    const wxScopedCharBuffer utf8 = name.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

// Durably replaces `target` with what `fill` writes, through a temp file in
// the same folder carrying the original's mode; the original is untouched on
// any failure.
template <class Fill>
bool replaceFile(const std::string& target, mode_t mode, Fill fill) {
    const std::string::size_type slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = folder + "/." + base + ".XXXXXX";
    const int fd = ::mkostemp(&tmp[0], O_CLOEXEC);
    if (fd < 0) return false;

    FdSink sink(fd);
    bool ok = ::fchmod(fd, mode) == 0 && fill(sink);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

MetadataHandler::MetadataHandler(wxString fileName)
    : fileName(std::move(fileName)), comment{}, log(new Log("MetadataHandler.log", false)) {
    gLogging = false;
}

MetadataHandler::~MetadataHandler() = default;

uint32_t MetadataHandler::Crc_octets(const unsigned char* bytes, size_t count) {
    uLong crc = crc32(0L, Z_NULL, 0);
    while (count > 0) {
        const uInt n = static_cast<uInt>(std::min<size_t>(count, UINT_MAX));
        crc = crc32(crc, bytes, n);
        bytes += n;
        count -= n;
    }
    return static_cast<uint32_t>(crc);
}

void MetadataHandler::setComment(const std::string& text) {
    const size_t n = std::min(text.size(), sizeof comment - 1);
    std::memcpy(comment, text.data(), n);
    comment[n] = 0;
}

bool MetadataHandler::CommentExistsPNG() {
    FileSource file(pathOf(fileName).c_str());
    return file.ok() && metadata::readPngComment(file).found;
}

bool MetadataHandler::ReadCommentPng() {
    FileSource file(pathOf(fileName).c_str());
    if (!file.ok()) return false;
    const metadata::PngComment found = metadata::readPngComment(file);
    if (!found.wellFormed) log->log("ReadCommentPng: not a sound PNG", pathOf(fileName).c_str());
    setComment(found.text);
    return true;
}

bool MetadataHandler::WriteCommentPng(const char* text) {
    if (!text) return false;
    // Write beside the real file, so a symbolic link keeps pointing at it.
    char* real = ::realpath(pathOf(fileName).c_str(), nullptr);
    if (!real) return false;
    const std::string target(real);
    std::free(real);

    FileSource file(target.c_str());
    if (!file.ok()) return false;
    const size_t length = std::strlen(text);
    // Refuse before any temp file exists.
    if (length > metadata::kMaxComment || !metadata::readPngComment(file).wellFormed) {
        log->log("WriteCommentPng: refused", target.c_str());
        return false;
    }
    return replaceFile(target, file.mode(), [&](metadata::ByteSink& out) {
        return metadata::writePngComment(file, out, text, length);
    });
}

bool MetadataHandler::ReadCommentJpg() {
    FileSource file(pathOf(fileName).c_str());
    if (!file.ok()) return false;
    std::string text;
    if (metadata::readJpgComment(file, text)) setComment(text);
    return true;
}
