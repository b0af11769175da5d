#pragma once
// The text comment inside a picture file: a tEXt "Comment" chunk in a PNG
// (tested, read, written), the COM segment right after a JPEG's JFIF header
// (read only). One handler per file, used for a call or two and deleted.

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Log;

class MetadataHandler {
public:
    wxString fileName;
    char comment[256];  // the text last read, zero-ended, at most 255 bytes
    std::unique_ptr<Log> log;

    explicit MetadataHandler(wxString fileName);
    virtual ~MetadataHandler();

    MetadataHandler(const MetadataHandler&) = delete;
    MetadataHandler& operator=(const MetadataHandler&) = delete;

    // True when the file is a well-formed PNG holding a comment chunk.
    bool CommentExistsPNG();
    // False when the file cannot be opened; otherwise true, with `comment`
    // empty when there is no comment (or the file is not a sound PNG).
    bool ReadCommentPng();
    // Writes `text` (at most 255 bytes) as the file's only comment, just before
    // IEND. True only when the file was rewritten; otherwise it is untouched.
    bool WriteCommentPng(const char* text);
    // False when the file cannot be opened; `comment` changes only when a
    // comment segment sits right after a 16-byte JFIF header.
    bool ReadCommentJpg();

    // PNG CRC-32 of `count` bytes.
    static uint32_t Crc_octets(const unsigned char* bytes, size_t count);

private:
    void setComment(const std::string& text);
};

// The bounded parsers behind MetadataHandler, over any byte source, so they
// can be driven from memory as well as from a file.
namespace metadata {

constexpr size_t kMaxComment = 255;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Exactly `count` bytes from `offset`, or false.
    virtual bool readAt(uint64_t offset, void* out, size_t count) const = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const void* data, size_t count) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, size_t size) : bytes(static_cast<const unsigned char*>(data)), length(size) {}
    uint64_t size() const override { return length; }
    bool readAt(uint64_t offset, void* out, size_t count) const override;

private:
    const unsigned char* bytes;
    size_t length;
};

class StringSink : public ByteSink {
public:
    std::string data;
    bool write(const void* bytes, size_t count) override {
        data.append(static_cast<const char*>(bytes), count);
        return true;
    }
};

struct PngComment {
    bool wellFormed = false;  // signature, every chunk in bounds, IEND reached
    bool found = false;       // a comment chunk with a sound CRC
    std::string text;         // its text, at most 255 bytes, up to the first zero byte
};

PngComment readPngComment(const ByteSource& png);

// Copies `png` to `out` without its comment chunks and with one new comment
// chunk for `text` right before IEND. False, having written nothing, when
// `png` is not well formed or the text is longer than 255 bytes.
bool writePngComment(const ByteSource& png, ByteSink& out, const char* text, size_t length);

// The JPEG COM text at byte 20, at most 255 bytes up to the first zero byte;
// false when there is none (or its length runs past the end of the file).
bool readJpgComment(const ByteSource& jpg, std::string& text);

}  // namespace metadata
