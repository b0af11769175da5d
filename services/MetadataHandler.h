#pragma once
// The text comment inside a picture file: a tEXt "Comment" chunk in a PNG
// (tested, read, written), the COM segment right after a JPEG's JFIF header
// (read only). One handler per file, used for a call or two and deleted.

#include <wx/string.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "services/MetadataParsers.h"

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
