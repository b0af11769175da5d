#include "services/MetadataHandler.h"

#include "core/WyrleGlobals.h"
#include "services/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

uint32_t MetadataHandler::Crc_octets(const unsigned char* bytes, size_t count) { return metadata::crc(bytes, count); }

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
