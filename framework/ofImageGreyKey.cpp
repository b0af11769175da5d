#include "framework/ofImageGreyKey.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>

namespace greykey {

namespace {

// Everything one read needs, reached through a pointer: libpng leaves the
// reading function by longjmp, so that function keeps nothing of its own
// that a jump could leave stale or undestroyed.
struct Reader {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep row = nullptr;
    char message[160] = "";

    // Decoding: where the alpha goes. Null only looks for the key.
    unsigned char* rgba = nullptr;
    int width = 0;
    int height = 0;

    bool keyed = false;
    Key key;

    ~Reader() {
        if (png) {
            if (row) png_free(png, row);
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        }
        if (file) std::fclose(file);
    }
};

void fail(Reader* r, const char* text) {
    std::snprintf(r->message, sizeof r->message, "%s", text);
}

void onError(png_structp png, png_const_charp text) {
    auto* r = static_cast<Reader*>(png_get_error_ptr(png));
    fail(r, text ? text : "damaged PNG");
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// The grey level of sample x of an unpacked row (one byte a sample below
// 16 bits, two big-endian bytes at 16).
unsigned sampleAt(png_const_bytep row, png_uint_32 x, int depth) {
    if (depth == 16) return static_cast<unsigned>(row[2 * x]) << 8 | row[2 * x + 1];
    return row[x];
}

// Reads the header and, when asked, the samples. The locals below the
// setjmp are only read on the way that did not jump.
bool readFile(Reader* r) {
    if (setjmp(png_jmpbuf(r->png))) return false;

    png_init_io(r->png, r->file);
    png_read_info(r->png, r->info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0, interlace = 0;
    png_get_IHDR(r->png, r->info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
    png_color_16p trans = nullptr;
    if (colour != PNG_COLOR_TYPE_GRAY || !png_get_valid(r->png, r->info, PNG_INFO_tRNS) ||
        !png_get_tRNS(r->png, r->info, nullptr, nullptr, &trans) || !trans) {
        fail(r, "not a grey PNG with a transparent grey value");
        return false;
    }
    // Only the bits of the depth count; the others should be 0 but need not.
    const unsigned mask = depth == 16 ? 0xFFFFu : (1u << depth) - 1;
    r->key.width = static_cast<int>(w);
    r->key.height = static_cast<int>(h);
    r->key.bitDepth = depth;
    r->key.interlaced = interlace == PNG_INTERLACE_ADAM7;
    r->key.value = trans->gray & mask;
    r->keyed = true;
    if (!r->rgba) return true;

    if (w != static_cast<png_uint_32>(r->width) || h != static_cast<png_uint_32>(r->height)) {
        fail(r, "the picture's size differs from the pixels given");
        return false;
    }
    // One byte a sample, not widened to 8 bits, no gamma. Interlaced files
    // are read pass by pass as the small pictures they are made of.
    if (depth < 8) png_set_packing(r->png);
    png_read_update_info(r->png, r->info);
    r->row = static_cast<png_bytep>(png_malloc(r->png, png_get_rowbytes(r->png, r->info)));

    const std::size_t stride = static_cast<std::size_t>(w) * 4;
    const int passes = r->key.interlaced ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const png_uint_32 cols = r->key.interlaced ? PNG_PASS_COLS(w, pass) : w;
        const png_uint_32 rows = r->key.interlaced ? PNG_PASS_ROWS(h, pass) : h;
        // libpng skips the passes that hold no pixel.
        if (cols == 0 || rows == 0) continue;
        for (png_uint_32 i = 0; i < rows; ++i) {
            png_read_row(r->png, r->row, nullptr);
            const png_uint_32 y = r->key.interlaced ? PNG_ROW_FROM_PASS_ROW(i, pass) : i;
            unsigned char* line = r->rgba + y * stride + 3;
            for (png_uint_32 c = 0; c < cols; ++c) {
                const png_uint_32 x = r->key.interlaced ? PNG_COL_FROM_PASS_COL(c, pass) : c;
                line[static_cast<std::size_t>(x) * 4] = sampleAt(r->row, c, depth) == r->key.value ? 0 : 255;
            }
        }
    }
    return true;
}

bool run(Reader& r, const std::string& path) {
    r.file = std::fopen(path.c_str(), "rb");
    if (!r.file) {
        fail(&r, "cannot open the file");
        return false;
    }
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, onError, onWarning);
    if (r.png) r.info = png_create_info_struct(r.png);
    if (!r.png || !r.info) {
        fail(&r, "out of memory");
        return false;
    }
    return readFile(&r);
}

}  // namespace

bool findKey(const std::string& path, Key& key) {
    Reader r;
    if (!run(r, path) || !r.keyed) return false;
    key = r.key;
    return true;
}

bool applyKeyAlpha(const std::string& path, unsigned char* rgba, int w, int h, std::string* why) {
    Reader r;
    if (!rgba || w <= 0 || h <= 0) {
        if (why) *why = "no pixels";
        return false;
    }
    r.rgba = rgba;
    r.width = w;
    r.height = h;
    if (run(r, path)) return true;
    if (why) *why = r.message;
    return false;
}

}  // namespace greykey
