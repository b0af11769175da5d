#pragma once
// The bounded parsers behind MetadataHandler, over any byte source, so they
// can be driven from memory as well as from a file. Plain: no wx, no files.

#include <cstddef>
#include <cstdint>
#include <string>

namespace metadata {

constexpr size_t kMaxComment = 255;

// PNG CRC-32 of `count` bytes.
uint32_t crc(const unsigned char* bytes, size_t count);

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
