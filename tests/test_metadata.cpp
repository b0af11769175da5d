#include "services/MetadataHandler.h"
#include "tests/services_fixture.h"

#include <FreeImage.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

using svctest::readFile;
using svctest::TempDir;
using svctest::writeFile;

namespace {

const std::string kSig("\x89PNG\r\n\x1a\n", 8);

std::string be32(uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return std::string(b, 4);
}

std::string chunk(const std::string& type, const std::string& data, bool goodCrc = true) {
    const std::string body = type + data;
    uint32_t crc = static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    if (!goodCrc) crc ^= 1;
    return be32(static_cast<uint32_t>(data.size())) + body + be32(crc);
}

std::string commentChunk(const std::string& text, bool goodCrc = true) {
    return chunk("tEXt", std::string("Comment\0", 8) + text, goodCrc);
}

// A 2 x 2 grey picture: rows 10 20 / 30 40 (hex).
std::string ihdr() { return chunk("IHDR", be32(2) + be32(2) + std::string("\x08\x00\x00\x00\x00", 5)); }
std::string idat() {
    const std::string raw("\x00\x10\x20\x00\x30\x40", 6);
    uLongf n = compressBound(raw.size());
    std::string z(n, '\0');
    compress(reinterpret_cast<Bytef*>(&z[0]), &n, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    z.resize(n);
    return chunk("IDAT", z);
}
std::string iend() { return chunk("IEND", ""); }
std::string plainPng() { return kSig + ihdr() + idat() + iend(); }

// The picture decodes through libpng (which checks CRCs) to the right pixels;
// returns the comment FreeImage sees, or "<none>".
std::string decodeWithFreeImage(const std::string& bytes) {
    FIMEMORY* mem = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()));
    FIBITMAP* dib = FreeImage_LoadFromMemory(FIF_PNG, mem, 0);
    std::string comment = "<none>";
    if (dib) {
        EXPECT_EQ(FreeImage_GetWidth(dib), 2u);
        EXPECT_EQ(FreeImage_GetHeight(dib), 2u);
        EXPECT_EQ(FreeImage_GetScanLine(dib, 1)[0], 0x10);  // rows are stored bottom-up
        EXPECT_EQ(FreeImage_GetScanLine(dib, 0)[1], 0x40);
        FITAG* tag = nullptr;
        if (FreeImage_GetMetadata(FIMD_COMMENTS, dib, "Comment", &tag) && tag)
            comment = static_cast<const char*>(FreeImage_GetTagValue(tag));
        FreeImage_Unload(dib);
    } else {
        ADD_FAILURE() << "FreeImage could not decode the picture";
    }
    FreeImage_CloseMemory(mem);
    return comment;
}

struct Fixture {
    TempDir tmp;
    std::string file;
    explicit Fixture(const std::string& bytes, const char* name = "pic.png") : file(tmp.path(name)) {
        EXPECT_TRUE(writeFile(file, bytes));
    }
    std::string bytes() const { return readFile(file); }
};

}  // namespace

TEST(MetadataCrc, KnownValues) {
    const unsigned char check[] = "123456789";
    EXPECT_EQ(MetadataHandler::Crc_octets(check, 9), 0xCBF43926u);
    const std::string body = std::string("tEXtComment\0abc", 15);
    EXPECT_EQ(MetadataHandler::Crc_octets(reinterpret_cast<const unsigned char*>(body.data()), body.size()),
              0x4EEF5B1Eu);
}

TEST(MetadataPng, WriteInsertsChunkBeforeIendAndReadsBack) {
    const std::string original = plainPng();
    Fixture f(original);
    ASSERT_EQ(chmod(f.file.c_str(), 0640), 0);
    MetadataHandler h(f.file);
    EXPECT_FALSE(h.CommentExistsPNG());
    EXPECT_TRUE(h.ReadCommentPng());
    EXPECT_STREQ(h.comment, "");

    char text[] = "abc";
    ASSERT_TRUE(h.WriteCommentPng(text));
    const std::string expectedChunk("\x00\x00\x00\x0btEXtComment\x00" "abc\x4e\xef\x5b\x1e", 23);
    const size_t iendAt = original.size() - 12;
    EXPECT_EQ(f.bytes(), original.substr(0, iendAt) + expectedChunk + original.substr(iendAt));

    struct stat st;
    ASSERT_EQ(stat(f.file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(svctest::listDir(f.tmp.root()), std::vector<std::string>{"pic.png"});  // no temp left

    MetadataHandler again(f.file);
    EXPECT_TRUE(again.CommentExistsPNG());
    EXPECT_TRUE(again.ReadCommentPng());
    EXPECT_STREQ(again.comment, "abc");
    EXPECT_EQ(decodeWithFreeImage(f.bytes()), "abc");
}

TEST(MetadataPng, RewriteReplacesTheOldChunkWhole) {
    const std::string original = plainPng();
    const size_t iendAt = original.size() - 12;
    auto withComment = [&](const std::string& text) {
        return original.substr(0, iendAt) + commentChunk(text) + original.substr(iendAt);
    };
    Fixture f(original);
    MetadataHandler h(f.file);
    char longer[] = "a longer comment";
    char shorter[] = "x";
    ASSERT_TRUE(h.WriteCommentPng(longer));
    ASSERT_TRUE(h.WriteCommentPng(longer));
    EXPECT_EQ(f.bytes(), withComment(longer));
    ASSERT_TRUE(h.WriteCommentPng(shorter));
    EXPECT_EQ(f.bytes(), withComment(shorter));
    ASSERT_TRUE(h.WriteCommentPng(const_cast<char*>("")));
    EXPECT_EQ(f.bytes(), withComment(""));
    EXPECT_TRUE(h.CommentExistsPNG());
}

TEST(MetadataPng, TextLengthBounds) {
    Fixture f(plainPng());
    MetadataHandler h(f.file);

    const std::string t250(250, 'q');
    ASSERT_TRUE(h.WriteCommentPng(t250.c_str()));
    const std::string bytes = f.bytes();
    EXPECT_NE(bytes.find(std::string("\x00\x00\x01\x02tEXt", 8)), std::string::npos);
    ASSERT_TRUE(h.ReadCommentPng());
    EXPECT_EQ(std::string(h.comment), t250);

    const std::string t255(255, 'w');
    ASSERT_TRUE(h.WriteCommentPng(t255.c_str()));
    ASSERT_TRUE(h.ReadCommentPng());
    EXPECT_EQ(std::string(h.comment), t255);
    EXPECT_EQ(decodeWithFreeImage(f.bytes()), t255);

    // Longer texts would not read back as written: refused, file untouched.
    const std::string before = f.bytes();
    EXPECT_FALSE(h.WriteCommentPng(std::string(256, 'e').c_str()));
    EXPECT_FALSE(h.WriteCommentPng(nullptr));
    EXPECT_EQ(f.bytes(), before);
}

TEST(MetadataPng, ForeignCommentsAreCutTo255AndAtZero) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string(300, 'z'), std::string(255, 'z')},
        {std::string("before\0after", 12), "before"},
        {"", ""},
    };
    for (const auto& c : cases) {
        Fixture f(kSig + ihdr() + idat() + commentChunk(c.first) + iend());
        MetadataHandler h(f.file);
        EXPECT_TRUE(h.CommentExistsPNG());
        EXPECT_TRUE(h.ReadCommentPng());
        EXPECT_EQ(std::string(h.comment), c.second);
    }
}

TEST(MetadataPng, EveryCommentChunkIsReplacedAndOtherChunksKept) {
    const std::string text1 = chunk("tEXt", std::string("Title\0Mine", 10));
    const std::string phys = chunk("pHYs", std::string("\0\0\x0b\x13\0\0\x0b\x13\x01", 9));
    const std::string input = kSig + ihdr() + commentChunk("first") + text1 + idat() + phys +
                              commentChunk("second") + iend();
    Fixture f(input);
    MetadataHandler h(f.file);
    ASSERT_TRUE(h.ReadCommentPng());
    EXPECT_STREQ(h.comment, "first");

    ASSERT_TRUE(h.WriteCommentPng("new"));
    EXPECT_EQ(f.bytes(), kSig + ihdr() + text1 + idat() + phys + commentChunk("new") + iend());
    ASSERT_TRUE(h.ReadCommentPng());
    EXPECT_STREQ(h.comment, "new");
    EXPECT_EQ(decodeWithFreeImage(f.bytes()), "new");
}

// Chunks that look like ours but are not: never read as the comment, and kept
// byte for byte when a comment is written.
TEST(MetadataPng, LookalikesAreNotComments) {
    const std::string idatWithPattern =
        chunk("IDAT", std::string("\x00\x00\x00\x20tEXtComment\0fake", 20));  // not decodable, never decoded
    struct Case {
        const char* name;
        std::string before;  // chunks between IHDR and IEND
        std::string after;   // bytes after IEND
    };
    const Case cases[] = {
        {"other keyword", idat() + chunk("tEXt", std::string("Commentary\0x", 12)), ""},
        {"no separator", idat() + chunk("tEXt", "Commentx"), ""},
        {"too short", idat() + chunk("tEXt", "Comme"), ""},
        {"zTXt", idat() + chunk("zTXt", std::string("Comment\0\0x", 10)), ""},
        {"pattern inside IDAT", idatWithPattern, ""},
        {"comment after IEND", idat(), commentChunk("trailing")},
    };
    for (const Case& c : cases) {
        Fixture f(kSig + ihdr() + c.before + iend() + c.after);
        MetadataHandler h(f.file);
        EXPECT_FALSE(h.CommentExistsPNG()) << c.name;
        EXPECT_TRUE(h.ReadCommentPng()) << c.name;
        EXPECT_STREQ(h.comment, "") << c.name;

        ASSERT_TRUE(h.WriteCommentPng("ok")) << c.name;
        EXPECT_EQ(f.bytes(), kSig + ihdr() + c.before + commentChunk("ok") + iend() + c.after) << c.name;
        ASSERT_TRUE(h.ReadCommentPng());
        EXPECT_STREQ(h.comment, "ok") << c.name;
    }
}

// Another program may write the chunk with a wrong CRC; its settings are
// still read, and the next write puts a sound chunk in its place.
TEST(MetadataPng, ACommentWithAWrongCrcIsReadAndARewriteMendsIt) {
    for (const char* rewrite : {"bRGB 10 20 30", "other"}) {
        Fixture f(kSig + ihdr() + idat() + commentChunk("bRGB 10 20 30", false) + iend());
        MetadataHandler h(f.file);
        EXPECT_TRUE(h.CommentExistsPNG());
        ASSERT_TRUE(h.ReadCommentPng());
        EXPECT_STREQ(h.comment, "bRGB 10 20 30");

        ASSERT_TRUE(h.WriteCommentPng(const_cast<char*>(rewrite)));
        EXPECT_EQ(f.bytes(), kSig + ihdr() + idat() + commentChunk(rewrite) + iend()) << rewrite;
        ASSERT_TRUE(h.ReadCommentPng());
        EXPECT_STREQ(h.comment, rewrite);
    }
}

TEST(MetadataPng, MalformedFilesGiveNoCommentAndAreNeverWritten) {
    const std::string good = kSig + ihdr() + idat() + commentChunk("hello") + iend();
    const size_t commentAt = good.size() - 12 - commentChunk("hello").size();
    std::string hugeLength = good;
    hugeLength.replace(commentAt, 4, "\xff\xff\xff\xf0", 4);
    std::string pastEnd = good;
    pastEnd.replace(commentAt, 4, be32(5000));
    std::string badType = kSig + ihdr() + chunk("ID#T", "x") + iend();
    std::string badSig = good;
    badSig[1] = 'Q';

    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"signature only", kSig},
        {"short", kSig.substr(0, 5)},
        {"bad signature", badSig},
        {"no IEND", kSig + ihdr() + idat() + commentChunk("hello")},
        {"cut in IDAT", good.substr(0, kSig.size() + ihdr().size() + 10)},
        {"cut in a chunk header", good.substr(0, kSig.size() + 5)},
        {"comment length past the end", pastEnd},
        {"comment length near 2^32", hugeLength},
        {"chunk type not letters", badType},
        {"jpeg bytes", std::string("\xff\xd8\xff\xe0\x00\x10JFIF\x00", 11)},
        {"IEND truncated", good.substr(0, good.size() - 2)},
    };
    for (const Case& c : cases) {
        Fixture f(c.bytes);
        MetadataHandler h(f.file);
        EXPECT_FALSE(h.CommentExistsPNG()) << c.name;
        EXPECT_TRUE(h.ReadCommentPng()) << c.name;
        EXPECT_STREQ(h.comment, "") << c.name;
        EXPECT_FALSE(h.WriteCommentPng("x")) << c.name;
        EXPECT_EQ(f.bytes(), c.bytes) << c.name;
        EXPECT_EQ(svctest::listDir(f.tmp.root()).size(), 1u) << c.name;
    }
}

TEST(MetadataPng, FilesThatCannotBeOpened) {
    TempDir tmp;
    ASSERT_TRUE(tmp.ok());
    const std::string fifo = tmp.path("fifo.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {tmp.path("missing.png"), tmp.root(), fifo}) {
        MetadataHandler h(name);
        EXPECT_FALSE(h.CommentExistsPNG()) << name;
        EXPECT_FALSE(h.ReadCommentPng()) << name;
        EXPECT_FALSE(h.WriteCommentPng("x")) << name;
        EXPECT_FALSE(h.ReadCommentJpg()) << name;
    }
}

TEST(MetadataPng, ReadOnlyFileCountsAsUnopenable) {
    const std::string bytes = kSig + ihdr() + idat() + commentChunk("hello") + iend();
    Fixture f(bytes);
    svctest::asUnprivileged(f.tmp.root(), [&] {
        ASSERT_EQ(chmod(f.file.c_str(), 0444), 0);
        MetadataHandler h(f.file);
        EXPECT_FALSE(h.CommentExistsPNG());
        EXPECT_FALSE(h.ReadCommentPng());
        EXPECT_FALSE(h.WriteCommentPng("x"));
        EXPECT_EQ(f.bytes(), bytes);
    });
}

// A file the user may write in a folder they may not: a rewrite needs a temp
// file beside it, so the write fails and the file stays as it was.
TEST(MetadataPng, ReadOnlyFolderLeavesFileIntact) {
    const std::string bytes = plainPng();
    Fixture f(bytes);
    svctest::asUnprivileged(f.tmp.root(), [&] {
        ASSERT_EQ(chmod(f.tmp.root().c_str(), 0555), 0);
        MetadataHandler h(f.file);
        EXPECT_FALSE(h.WriteCommentPng("x"));
        EXPECT_EQ(f.bytes(), bytes);
        ASSERT_EQ(chmod(f.tmp.root().c_str(), 0755), 0);
    });
}

TEST(MetadataPng, WriteThroughSymlinkRewritesTheTarget) {
    Fixture f(plainPng(), "real.png");
    const std::string link = f.tmp.path("link.png");
    ASSERT_EQ(symlink(f.file.c_str(), link.c_str()), 0);
    MetadataHandler h(link);
    ASSERT_TRUE(h.WriteCommentPng("via link"));
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    MetadataHandler real(f.file);
    ASSERT_TRUE(real.ReadCommentPng());
    EXPECT_STREQ(real.comment, "via link");
}

TEST(MetadataPng, InMemoryParsersMatchTheFileOnes) {
    const std::string input = kSig + ihdr() + commentChunk("one") + idat() + iend();
    metadata::MemorySource src(input.data(), input.size());
    const metadata::PngComment found = metadata::readPngComment(src);
    EXPECT_TRUE(found.wellFormed);
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.text, "one");
    metadata::StringSink out;
    ASSERT_TRUE(metadata::writePngComment(src, out, "two", 3));
    EXPECT_EQ(out.data, kSig + ihdr() + idat() + commentChunk("two") + iend());
}

namespace {

// SOI and a 16-byte JFIF APP0: the COM segment, if any, starts at byte 20.
std::string jfif() { return std::string("\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20); }
std::string com(uint16_t length) { return std::string("\xff\xfe", 2) + char(length >> 8) + char(length & 0xff); }

}  // namespace

TEST(MetadataJpg, CommentTable) {
    const std::string twelve = "twelve bytes";
    const std::string text259(259, 'j');
    // A JFIF APP0 with a 1 x 1 thumbnail is 19 bytes long: COM starts later.
    const std::string thumb = std::string("\xff\xd8\xff\xe0\x00\x13JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x01\x01", 20) +
                              std::string("\x00\x00\x00", 3) + com(6) + "late";
    struct Case {
        const char* name;
        std::string bytes;
        const char* expected;  // the comment after the read; the handler starts with "prev"
    };
    const Case cases[] = {
        {"twelve bytes", jfif() + com(14) + twelve + "\xff\xd9", "twelve bytes"},
        {"259 bytes kept as 255", jfif() + com(261) + text259, nullptr},
        {"zero byte ends it", jfif() + com(7) + std::string("ab\0cd", 5), "ab"},
        {"empty comment", jfif() + com(2) + "\xff\xd9", ""},
        {"thumbnail first", thumb, "prev"},
        {"no comment", jfif() + std::string("\xff\xdb\x00\x43", 4), "prev"},
        {"shorter than the header", jfif() + std::string("\xff\xfe\x00", 3), "prev"},
        {"length 0", jfif() + com(0) + "abc", "prev"},
        {"length 1", jfif() + com(1) + "abc", "prev"},
        {"length past the end", jfif() + com(40) + "abc", "prev"},
        {"empty file", "", "prev"},
    };
    for (const Case& c : cases) {
        Fixture f(c.bytes, "pic.jpg");
        MetadataHandler h(f.file);
        std::strcpy(h.comment, "prev");
        EXPECT_TRUE(h.ReadCommentJpg()) << c.name;
        const std::string expected = c.expected ? c.expected : std::string(255, 'j');
        EXPECT_EQ(std::string(h.comment), expected) << c.name;
        EXPECT_EQ(f.bytes(), c.bytes) << c.name;
    }
}

TEST(MetadataJpg, ReadsTheCommentFreeImageWrites) {
    FIBITMAP* dib = FreeImage_Allocate(8, 8, 24);
    ASSERT_NE(dib, nullptr);
    const char text[] = "bRGB 10 20 30";
    FITAG* tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, "Comment");
    FreeImage_SetTagLength(tag, sizeof text);
    FreeImage_SetTagCount(tag, sizeof text);
    FreeImage_SetTagType(tag, FIDT_ASCII);
    FreeImage_SetTagValue(tag, text);
    FreeImage_SetMetadata(FIMD_COMMENTS, dib, "Comment", tag);
    FreeImage_DeleteTag(tag);
    TempDir tmp;
    const std::string file = tmp.path("art.jpg");
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, dib, file.c_str(), 90));
    FreeImage_Unload(dib);

    MetadataHandler h(file);
    EXPECT_TRUE(h.ReadCommentJpg());
    EXPECT_STREQ(h.comment, text);
}
