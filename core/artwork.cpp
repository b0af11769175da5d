#include "core/artwork.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/string.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

#include "framework/ofImage.h"
#include "framework/ofUtils.h"
#include "services/MetadataHandler.h"

namespace artwork {

const char* const kDefaultArtworkName = "wyrleArtwork.png";
const char* const kCaptionInfo = "Info";
const char* const kCouldNotLoadPicture = "Could not load picture";
const char* const kCouldNotLoadBack = "Could not load background picture";
const char* const kBackNoMemory = "Could not load background picture, not enough memory.";
const char* const kNoMemory = "Could not allocate enough memory, changing to default settings.";
const char* const kCaptionNoMemory = "Info: Not enough memory";
const char* const kCouldNotSave = "Could not save picture.";

namespace {

int clampByte(long long v) { return static_cast<int>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// A whole token of an optional sign and decimal digits, clamped into 0..255.
bool parseChannel(const std::string& token, int& out) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    if (i == token.size()) return false;
    long long v = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9') return false;
        if (v < 100000) v = v * 10 + (c - '0');  // beyond this the clamp decides anyway
    }
    out = clampByte(negative ? -v : v);
    return true;
}

// The extension from the last "." on, when that "." is not the first
// character; empty otherwise.
std::string extensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

canvas::PixelSpan spanOf(ofImage& img) {
    return {img.getPixels(), img.width, img.height, img.pixelBuffer.channelCount};
}

bool hasShape(const ofImage& img, int w, int h, int type) {
    return img.pixelBuffer.allocated && img.width == w && img.height == h && img.imageType == type;
}

// A canvas picture of w x h of `type`, texture off; keeps a buffer that
// already fits. When memory runs out the picture stays as it was.
bool allocLayer(ofImage& img, int w, int h, int type) {
    img.setUseTexture(false);
    if (hasShape(img, w, h, type)) return true;
    img.allocate(w, h, type);
    return hasShape(img, w, h, type);
}

// Stretches and converts a picture to a canvas layer of w x h (RGBA when
// `alpha`, else RGB). False when it could not be done.
bool fitToCanvas(ofImage& img, int w, int h, bool alpha) {
    img.setUseTexture(false);
    if (!img.pixelBuffer.allocated) return false;
    if (img.width != w || img.height != h) img.resize(w, h);
    if (img.width != w || img.height != h) return false;
    const int type = alpha ? OF_IMAGE_COLOR_ALPHA : OF_IMAGE_COLOR;
    if (img.imageType == OF_IMAGE_GRAYSCALE) img.setImageType(OF_IMAGE_COLOR);
    if (img.imageType != type) img.setImageType(type);
    return hasShape(img, w, h, type);
}

// Straight colour from colour premultiplied over the background.
int straightChannel(int c, int bgc, int a) {
    if (a <= 0) return bgc;
    if (a >= 255) return c;
    const int d = (c - bgc) * 255;
    const int q = d >= 0 ? (d + a / 2) / a : -((-d + a / 2) / a);
    return clampByte(bgc + q);
}

std::string errnoText(int err) { return std::error_code(err, std::generic_category()).message(); }

// The pixels a save writes, in `channels` bytes a pixel.
std::unique_ptr<unsigned char[]> savePixels(canvas::PixelSpan front, canvas::PixelSpan back, bool useBack,
                                            int channels, bool straight, palette::Rgb bg) {
    const size_t n = front.pixels();
    std::unique_ptr<unsigned char[]> out(new (std::nothrow) unsigned char[n * static_cast<size_t>(channels)]);
    if (!out) return out;
    const int bgc[3] = {bg.r, bg.g, bg.b};
    for (size_t i = 0; i < n; ++i) {
        const unsigned char* f = front.px + i * static_cast<size_t>(front.bpp);
        unsigned char* o = out.get() + i * static_cast<size_t>(channels);
        int c[3] = {f[0], f[1], f[2]};
        int a = front.bpp == 4 ? f[3] : 255;
        if (useBack) {
            const unsigned char* b = back.px + i * static_cast<size_t>(back.bpp);
            for (int k = 0; k < 3; ++k) c[k] = clampByte(b[k] + c[k] - bgc[k]);
            a = std::max(a, back.bpp == 4 ? static_cast<int>(b[3]) : 255);
        }
        if (straight)
            for (int k = 0; k < 3; ++k) c[k] = straightChannel(c[k], bgc[k], a);
        for (int k = 0; k < 3; ++k) o[k] = static_cast<unsigned char>(c[k]);
        if (channels == 4) o[3] = static_cast<unsigned char>(a);
    }
    return out;
}

// An empty file of our own beside `target`, named with the extension that
// picks the format.
bool createTempBeside(const std::string& target, const std::string& ext, std::string& tmpName, std::string& why) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmpName = dir + "/." + base + ".save" + std::to_string(getpid()) + "-" +
                  std::to_string(counter.fetch_add(1)) + ext;
        const int fd = open(tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            return true;
        }
        if (errno != EEXIST) {
            why = "cannot create a file in the folder (" + errnoText(errno) + ")";
            return false;
        }
    }
    why = "cannot create a temporary file";
    return false;
}

}  // namespace

// --- The artwork comment ------------------------------------------------------

bool parseArtworkMetadata(const std::string& text, palette::Rgb& bg) {
    const std::vector<std::string> tokens = ofSplitString(text, " \t\r\n");
    if (tokens.size() < 4 || tokens[0] != "bRGB") return false;
    palette::Rgb got{0, 0, 0};
    if (!parseChannel(tokens[1], got.r) || !parseChannel(tokens[2], got.g) || !parseChannel(tokens[3], got.b))
        return false;
    bg = got;
    return true;
}

std::string formatArtworkMetadata(palette::Rgb bg) {
    return "bRGB " + std::to_string(clampByte(bg.r)) + " " + std::to_string(clampByte(bg.g)) + " " +
           std::to_string(clampByte(bg.b));
}

bool backgroundFromComment(const std::string& path, palette::Rgb& bg) {
    const std::string ext = extensionOf(path);
    const bool png = ext == ".png" || ext == ".PNG";
    const bool jpg = ext == ".jpg" || ext == ".JPG" || ext == ".jpeg" || ext == ".JPEG";
    if (!png && !jpg) return false;
    MetadataHandler handler(wxString::FromUTF8(ofToDataPath(path).c_str()));
    if (png) {
        if (!handler.CommentExistsPNG() || !handler.ReadCommentPng()) return false;
    } else if (!handler.ReadCommentJpg()) {
        return false;
    }
    return parseArtworkMetadata(handler.comment, bg);
}

// --- Pixels of an opened picture --------------------------------------------------

bool findBcgColor(canvas::PixelSpan picture, palette::Rgb& bg) {
    if (!picture.valid()) return false;
    const size_t bpp = static_cast<size_t>(picture.bpp);
    const size_t w = static_cast<size_t>(picture.w);
    const size_t h = static_cast<size_t>(picture.h);
    const unsigned char* px = picture.px;
    // The scan runs column by column; these loops run row by row (far
    // kinder to the cache) and pick the same pixel.
    if (picture.bpp == 4) {
        size_t bestX = w, bestY = 0;
        for (size_t y = 0; y < h && bestX > 0; ++y)
            for (size_t x = 0; x < bestX; ++x)
                if (px[(y * w + x) * bpp + 3] == 0) {
                    bestX = x;
                    bestY = y;
                    break;
                }
        if (bestX == w) return false;
        const unsigned char* p = px + (bestY * w + bestX) * bpp;
        bg = {p[0], p[1], p[2]};
        return true;
    }
    std::vector<size_t> count(256, 0);
    std::vector<size_t> lastX(256, 0), lastY(256, 0);
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) {
            const unsigned char* p = px + (y * w + x) * bpp;
            const int cls = static_cast<int>((p[0] + p[1] + p[2]) * 0.33);
            // Later rows come later in a column, so x alone decides.
            if (count[cls] == 0 || x >= lastX[cls]) {
                lastX[cls] = x;
                lastY[cls] = y;
            }
            ++count[cls];
        }
    int best = 0;
    for (int c = 1; c < 256; ++c)
        if (count[c] > count[best]) best = c;
    const unsigned char* p = px + (lastY[best] * w + lastX[best]) * bpp;
    bg = {p[0], p[1], p[2]};
    return true;
}

void premultiplyAlpha(canvas::PixelSpan picture, palette::Rgb bg) {
    if (!picture.valid() || picture.bpp != 4) return;
    const size_t n = picture.pixels();
    for (size_t i = 0; i < n; ++i) {
        unsigned char* p = picture.px + i * 4;
        const int a = p[3];
        for (int k = 0; k < 3; ++k) p[k] = static_cast<unsigned char>(p[k] * a / 255);
        p[3] = static_cast<unsigned char>(canvas::canvasAlpha(p[0], p[1], p[2], bg));
    }
}

// --- New and opened artwork ---------------------------------------------------------

bool newArtworkLayers(ofImage& front, ofImage& back, ofImage& display, int w, int h, bool alpha, palette::Rgb bg) {
    if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > canvas::kMaxCanvasPixels) return false;
    const int type = alpha ? OF_IMAGE_COLOR_ALPHA : OF_IMAGE_COLOR;
    if (!allocLayer(front, w, h, type) || !allocLayer(back, w, h, type) || !allocLayer(display, w, h, type))
        return false;
    canvas::fillLayer(spanOf(front), bg);
    canvas::fillLayer(spanOf(back), bg);
    canvas::recompose(spanOf(front), spanOf(back), spanOf(display), bg, false);
    return true;
}

bool readArtworkPicture(ofImage& front, const std::string& path) {
    front.setUseTexture(false);
    return front.loadImage(path);
}

OpenStatus adoptArtworkPicture(ofImage& front, ofImage& back, ofImage& display, const std::string& path,
                               const OpenOptions& options, OpenResult& result) {
    const int w = front.width;
    const int h = front.height;
    if (front.imageType == OF_IMAGE_GRAYSCALE) front.setImageType(OF_IMAGE_COLOR);
    const bool alpha = front.imageType == OF_IMAGE_COLOR_ALPHA;
    const int type = alpha ? OF_IMAGE_COLOR_ALPHA : OF_IMAGE_COLOR;
    if (!hasShape(front, w, h, type) || !allocLayer(display, w, h, type)) return OpenStatus::kNoMemory;

    palette::Rgb bg = options.chosen;
    if (options.findAuto && !backgroundFromComment(path, bg)) findBcgColor(spanOf(front), bg);
    if (options.premultiply && alpha) premultiplyAlpha(spanOf(front), bg);

    // The old back layer goes on under the new picture, stretched to it.
    if (!fitToCanvas(back, w, h, alpha)) {
        if (!allocLayer(back, w, h, type)) return OpenStatus::kNoMemory;
        canvas::fillLayer(spanOf(back), bg);
    }
    canvas::recompose(spanOf(front), spanOf(back), spanOf(display), bg, false);

    result.width = w;
    result.height = h;
    result.alpha = alpha;
    result.backAlpha = back.imageType == OF_IMAGE_COLOR_ALPHA;
    result.bg = bg;
    return OpenStatus::kOpened;
}

BackStatus loadBackLayer(ofImage& back, const std::string& path, int w, int h, bool alpha, palette::Rgb bg) {
    ofImage picture;
    picture.setUseTexture(false);
    if (!picture.loadImage(path)) return BackStatus::kNotRead;
    const int type = alpha ? OF_IMAGE_COLOR_ALPHA : OF_IMAGE_COLOR;
    if (fitToCanvas(picture, w, h, alpha) && allocLayer(back, w, h, type)) {
        back.setFromPixels(picture.getPixels(), w, h, type);
        return BackStatus::kLoaded;
    }
    picture.clear();
    if (allocLayer(back, w, h, type)) canvas::fillLayer(spanOf(back), bg);
    return BackStatus::kNoFit;
}

// --- Title and saving ---------------------------------------------------------------

std::string windowTitle(const std::string& name, int w, int h, bool alpha, float zoomFactor, bool showBack,
                        bool backAlpha) {
    const size_t cut = name.find_last_of("/\\");
    std::string title = cut == std::string::npos || cut == 0 ? name : name.substr(cut + 1);
    title += " | " + std::to_string(w) + "x" + std::to_string(h) + (alpha ? " pixels with Alpha" : " pixels");
    title += " | " + std::to_string(std::lround(static_cast<double>(zoomFactor) * 100.0)) + "%";
    title += showBack ? " | Back Layer On" : " | Back Layer Off";
    if (backAlpha) title += " (A)";
    return title;
}

bool saveArtwork(const std::string& path, canvas::PixelSpan front, canvas::PixelSpan back, const SaveOptions& options,
                 std::string* why) {
    std::string reason;
    std::string& out = why ? *why : reason;
    if (!front.valid()) {
        out = "there is no artwork to save";
        return false;
    }
    std::string target = ofToDataPath(path);
    const size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) {
        out = "the name has no file name";
        return false;
    }

    const std::string ext = extensionOf(base);
    const std::string kind = lowerAscii(ext);
    const bool png = ext.empty() || kind == ".png";
    const bool holdsAlpha = png || kind == ".tga" || kind == ".tif" || kind == ".tiff" || kind == ".bmp";
    const bool useBack = options.exportFile && options.showBack && back.valid() && back.w == front.w &&
                         back.h == front.h;
    const bool writeAlpha = options.withAlpha && front.bpp == 4 && holdsAlpha;
    const bool straight = writeAlpha && options.exportFile && options.straightAlpha;
    const int channels = writeAlpha ? 4 : 3;

    const unsigned char* data = front.px;
    std::unique_ptr<unsigned char[]> made;
    if (useBack || straight || channels != front.bpp) {
        made = savePixels(front, back, useBack, channels, straight, options.bg);
        if (!made) {
            out = "out of memory";
            return false;
        }
        data = made.get();
    }

    // Through a symbolic link the link stays and its target gets the picture.
    struct stat st;
    if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(target.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        out = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
        return false;
    }

    std::string tmpName;
    if (!createTempBeside(target, ext.empty() ? std::string(".png") : ext, tmpName, out)) return false;
    bool done = ofSavePixels(tmpName, data, front.w, front.h, channels, 0, &out);
    if (done && png && !options.exportFile) {
        MetadataHandler handler(wxString::FromUTF8(tmpName.c_str()));
        done = handler.WriteCommentPng(formatArtworkMetadata(options.bg).c_str());
        if (!done) out = "cannot write the artwork comment";
    }
    if (done && exists && chmod(tmpName.c_str(), st.st_mode & 07777) != 0) {
        out = "cannot set the file mode (" + errnoText(errno) + ")";
        done = false;
    }
    if (done && std::rename(tmpName.c_str(), target.c_str()) != 0) {
        out = "cannot replace the file (" + errnoText(errno) + ")";
        done = false;
    }
    if (!done) unlink(tmpName.c_str());
    return done;
}

}  // namespace artwork
