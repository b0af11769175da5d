#include "framework/ofImage.h"

#include <FreeImage.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "framework/ofAppRunner.h"
#include "framework/ofImageGreyKey.h"
#include "framework/ofImageGuards.h"
#include "framework/ofUtils.h"

bool bFreeImageInited = false;

namespace {

std::mutex& freeImageMutex() {
    static std::mutex m;
    return m;
}

// FreeImage's plugin list is gone after FreeImage_DeInitialise, so every
// operation makes sure it runs.
void ensureFreeImage() {
    std::lock_guard<std::mutex> lock(freeImageMutex());
    if (!bFreeImageInited) {
        FreeImage_Initialise(FALSE);
        bFreeImageInited = true;
    }
}

// libtiff, FreeImage's TIFF codec, reports through handlers that the whole
// process shares. wxWidgets puts in its own when its image handlers start,
// and they show every message in an error box, also for a file that loads
// well: FreeImage asks libtiff for tags it does not know ("unknown tag").
// While the framework reads or writes a picture, libtiff's messages are
// collected on that thread and go to the log in one line; a load that fails
// is told by its caller, as for any other format.
class TiffMessages {
public:
    TiffMessages(const char* doing, const std::string& fileName) : doing(doing), fileName(fileName) {
        install();
        outer = current;
        current = this;
    }
    ~TiffMessages() {
        current = outer;
        if (lines.empty()) return;
        const std::string more =
            lines.size() > 1 ? " (and " + std::to_string(lines.size() - 1) + " more TIFF messages)" : std::string();
        ofLog(OF_LOG_WARNING, "ofImage - %s %s: %s%s", doing, fileName.c_str(), lines.front().c_str(), more.c_str());
    }
    TiffMessages(const TiffMessages&) = delete;
    TiffMessages& operator=(const TiffMessages&) = delete;

private:
    using Handler = void (*)(const char* module, const char* format, va_list args);
    using SetHandler = Handler (*)(Handler);

    static void keep(const char* module, const char* format, va_list args) {
        char text[512];
        std::vsnprintf(text, sizeof text, format ? format : "", args);
        const std::string line = module && *module ? std::string(module) + ": " + text : std::string(text);
        if (current)
            current->lines.push_back(line);
        else
            ofLog(OF_LOG_WARNING, "TIFF: %s", line.c_str());
    }
    // Set again before every use: the toolkit may have put its own in since.
    // libtiff is loaded with FreeImage; without it there is nothing to route.
    static void install() {
        static const SetHandler setError = lookUp("TIFFSetErrorHandler");
        static const SetHandler setWarning = lookUp("TIFFSetWarningHandler");
        if (setError) setError(&keep);
        if (setWarning) setWarning(&keep);
    }
    static SetHandler lookUp(const char* name) { return reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, name)); }

    static thread_local TiffMessages* current;
    TiffMessages* outer = nullptr;
    const char* doing;
    std::string fileName;
    std::vector<std::string> lines;
};
thread_local TiffMessages* TiffMessages::current = nullptr;

struct BitmapUnloader {
    void operator()(FIBITMAP* bmp) const { FreeImage_Unload(bmp); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapUnloader>;

std::string errnoText(int err) { return std::error_code(err, std::generic_category()).message(); }

// FreeImage readers that a small damaged file sends into a loop or a huge
// allocation (found by fuzzing); such files are refused as unreadable.
bool readerIsSafe(FREE_IMAGE_FORMAT fif) {
    switch (fif) {
        case FIF_XBM:  // loops forever on a file that ends early
        case FIF_EXR:  // a lying header keeps it busy for many minutes
        case FIF_DDS:  // allocates what the header says (gigabytes) before any check
        case FIF_ICO:  // writes past a heap buffer on a damaged icon
        case FIF_KOALA:  // copies unset heap bytes into the picture from a short file
            return false;
        default:
            return true;
    }
}

bool sizeAllowed(long long w, long long h) {
    return w >= 0 && h >= 0 && static_cast<unsigned long long>(w) * static_cast<unsigned long long>(h) <= OF_MAX_IMAGE_PIXELS;
}

// --- Conversions between FreeImage bitmaps and plain buffers -------------

// 8-bit grey (no transparency), 24-bit or 32-bit: what the pixel store holds.
bool isStandard(FIBITMAP* bmp) {
    if (FreeImage_GetImageType(bmp) != FIT_BITMAP) return false;
    const unsigned bpp = FreeImage_GetBPP(bmp);
    if (bpp == 24 || bpp == 32) return true;
    return bpp == 8 && !FreeImage_IsTransparent(bmp) && FreeImage_GetColorType(bmp) == FIC_MINISBLACK;
}

// Returns `src` when it is already standard, a new bitmap when it could be
// converted, or null. Paletted pictures (and min-is-white greys, which a
// raw copy would invert) go through the palette; transparency makes RGBA.
FIBITMAP* toStandard(FIBITMAP* src) {
    if (isStandard(src)) return src;
    switch (FreeImage_GetImageType(src)) {
        case FIT_BITMAP:
            if (FreeImage_GetBPP(src) <= 8 && FreeImage_IsTransparent(src))
                return FreeImage_ConvertTo32Bits(src);
            return FreeImage_ConvertTo24Bits(src);
        case FIT_RGB16:
            return FreeImage_ConvertTo24Bits(src);
        case FIT_RGBA16:
            return FreeImage_ConvertTo32Bits(src);
        case FIT_UINT16:
            // The high byte; the standard-type conversion would stretch the
            // contrast between the darkest and lightest value.
            return FreeImage_ConvertTo8Bits(src);
        case FIT_RGBF:
            return FreeImage_ToneMapping(src, FITMO_DRAGO03);
        case FIT_RGBAF: {
            Bitmap rgb(FreeImage_ConvertToRGBF(src));
            return rgb ? FreeImage_ToneMapping(rgb.get(), FITMO_DRAGO03) : nullptr;
        }
        default:
            return FreeImage_ConvertToStandardType(src, TRUE);
    }
}

// FreeImage keeps rows bottom-up and, on this platform, B, G, R (, A).
void copyFromBitmap(FIBITMAP* bmp, unsigned char* out, int w, int h, int channels) {
    const std::size_t rowBytes = static_cast<std::size_t>(w) * channels;
    for (int y = 0; y < h; ++y) {
        const BYTE* src = FreeImage_GetScanLine(bmp, h - 1 - y);
        unsigned char* dst = out + static_cast<std::size_t>(y) * rowBytes;
        if (channels == 1) {
            std::memcpy(dst, src, rowBytes);
            continue;
        }
        for (int x = 0; x < w; ++x, src += channels, dst += channels) {
            dst[0] = src[FI_RGBA_RED];
            dst[1] = src[FI_RGBA_GREEN];
            dst[2] = src[FI_RGBA_BLUE];
            if (channels == 4) dst[3] = src[FI_RGBA_ALPHA];
        }
    }
}

FIBITMAP* bitmapFromBuffer(const unsigned char* data, int w, int h, int channels) {
    FIBITMAP* bmp = FreeImage_Allocate(w, h, channels * 8);
    if (!bmp) return nullptr;
    if (channels == 1) {
        RGBQUAD* palette = FreeImage_GetPalette(bmp);
        for (int i = 0; i < 256; ++i) {
            palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
            palette[i].rgbReserved = 0;
        }
    }
    const std::size_t rowBytes = static_cast<std::size_t>(w) * channels;
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = data + static_cast<std::size_t>(y) * rowBytes;
        BYTE* dst = FreeImage_GetScanLine(bmp, h - 1 - y);
        if (channels == 1) {
            std::memcpy(dst, src, rowBytes);
            continue;
        }
        for (int x = 0; x < w; ++x, src += channels, dst += channels) {
            dst[FI_RGBA_RED] = src[0];
            dst[FI_RGBA_GREEN] = src[1];
            dst[FI_RGBA_BLUE] = src[2];
            if (channels == 4) dst[FI_RGBA_ALPHA] = src[3];
        }
    }
    return bmp;
}

FIBITMAP* convertToDepth(FIBITMAP* bmp, int bpp) {
    if (bpp == 24) return FreeImage_ConvertTo24Bits(bmp);
    if (bpp == 32) return FreeImage_ConvertTo32Bits(bmp);
    // 8 bits: a palette of the picture's own colours.
    if (FreeImage_GetBPP(bmp) == 24) return FreeImage_ColorQuantize(bmp, FIQ_WUQUANT);
    Bitmap rgb(FreeImage_ConvertTo24Bits(bmp));
    return rgb ? FreeImage_ColorQuantize(rgb.get(), FIQ_WUQUANT) : nullptr;
}

bool formatTakesDepth(FREE_IMAGE_FORMAT fif, int bpp) {
    // FreeImage lists 32 bits for JPEG (meaning CMYK) but refuses RGBA.
    if (fif == FIF_JPEG && bpp == 32) return false;
    return FreeImage_FIFSupportsExportBPP(fif, bpp) == TRUE;
}

// `bmp` itself when the format takes its depth; else a converted copy kept
// in `holder` (alpha goes before colours do), or null.
FIBITMAP* fitToFormat(FIBITMAP* bmp, FREE_IMAGE_FORMAT fif, Bitmap& holder) {
    const int bpp = static_cast<int>(FreeImage_GetBPP(bmp));
    if (formatTakesDepth(fif, bpp)) return bmp;
    static const int from32[] = {24, 8};
    static const int from24[] = {32, 8};
    static const int from8[] = {24, 32};
    const int* order = bpp == 32 ? from32 : bpp == 24 ? from24 : from8;
    for (int i = 0; i < 2; ++i) {
        if (!formatTakesDepth(fif, order[i])) continue;
        holder.reset(convertToDepth(bmp, order[i]));
        if (holder) return holder.get();
    }
    return nullptr;
}

// --- Writing a file safely -----------------------------------------------

unsigned DLL_CALLCONV readProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<FILE*>(handle)));
}
unsigned DLL_CALLCONV writeProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<FILE*>(handle)));
}
int DLL_CALLCONV seekProc(fi_handle handle, long offset, int origin) {
    return std::fseek(static_cast<FILE*>(handle), offset, origin);
}
long DLL_CALLCONV tellProc(fi_handle handle) { return std::ftell(static_cast<FILE*>(handle)); }

// Creates an empty file beside `target` that no one else has opened.
int createTempFile(const std::string& target, std::string& tmpName, std::string& why) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Not built from the target's name, which may already be as long as
        // the file system allows.
        tmpName = dir + "/.wyrle-save-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
                  ".tmp";
        const int fd = open(tmpName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) {
            why = "cannot create a file in the folder (" + errnoText(errno) + ")";
            return -1;
        }
    }
    why = "cannot create a temporary file";
    return -1;
}

bool writeReplacing(const std::string& path, FREE_IMAGE_FORMAT fif, FIBITMAP* bmp, int flags, std::string& why) {
    // Through a symbolic link the link stays and its target gets the picture.
    std::string target = path;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    bool exists = false;
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            why = S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file";
            return false;
        }
        exists = true;
    }

    std::string tmpName;
    const int fd = createTempFile(target, tmpName, why);
    if (fd < 0) return false;
    if (exists) fchmod(fd, st.st_mode & 07777);
    FILE* file = fdopen(fd, "w+b");
    if (!file) {
        why = "cannot open the temporary file (" + errnoText(errno) + ")";
        close(fd);
        unlink(tmpName.c_str());
        return false;
    }

    FreeImageIO io;
    io.read_proc = readProc;
    io.write_proc = writeProc;
    io.seek_proc = seekProc;
    io.tell_proc = tellProc;
    bool encoded = false;
    {
        TiffMessages messages("writing", path);
        encoded = FreeImage_SaveToHandle(fif, bmp, &io, static_cast<fi_handle>(file), flags) == TRUE;
    }
    bool written = encoded && !std::ferror(file) && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    const int writeError = errno;
    if (std::fclose(file) != 0) written = false;
    if (!written) {
        why = encoded ? "writing the file failed (" + errnoText(writeError) + ")"
                      : std::string("FreeImage could not encode the picture as ") + FreeImage_GetFormatFromFIF(fif);
        unlink(tmpName.c_str());
        return false;
    }
    if (std::rename(tmpName.c_str(), target.c_str()) != 0) {
        why = "cannot replace the file (" + errnoText(errno) + ")";
        unlink(tmpName.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool ofSavePixels(const std::string& path, const unsigned char* data, int w, int h, int channels, int flags,
                  std::string* why) {
    std::string reason;
    std::string& out = why ? *why : reason;
    if (!data || w <= 0 || h <= 0 || !sizeAllowed(w, h) || (channels != 1 && channels != 3 && channels != 4)) {
        out = "there are no pixels to save";
        return false;
    }
    ensureFreeImage();
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFIFFromFilename(path.c_str());
    if (fif == FIF_UNKNOWN) {
        out = "the file extension names no known picture format";
        return false;
    }
    if (!FreeImage_FIFSupportsWriting(fif)) {
        out = std::string("FreeImage cannot write ") + FreeImage_GetFormatFromFIF(fif) + " files";
        return false;
    }
    Bitmap bmp(bitmapFromBuffer(data, w, h, channels));
    if (!bmp) {
        out = "out of memory";
        return false;
    }
    Bitmap converted;
    FIBITMAP* fitted = fitToFormat(bmp.get(), fif, converted);
    if (!fitted) {
        out = std::string("the ") + FreeImage_GetFormatFromFIF(fif) + " format cannot store this picture";
        return false;
    }
    return writeReplacing(path, fif, fitted, flags, out);
}

void ofCloseFreeImage() {
    std::lock_guard<std::mutex> lock(freeImageMutex());
    if (bFreeImageInited) {
        FreeImage_DeInitialise();
        bFreeImageInited = false;
    }
}

// --- ofImage ---------------------------------------------------------------

ofImage::ofImage()
    : width(0), height(0), bitDepth(0), imageType(OF_IMAGE_UNDEFINED), useTexture(true) {
    pixelBuffer.data = nullptr;
    freePixels(pixelBuffer);
    ensureFreeImage();
}

ofImage::~ofImage() {
    freePixels(pixelBuffer);
    if (useTexture) texture.clear();
}

bool ofImage::allocatePixels(ofPixels& pix, int w, int h, int bits) {
    if (pix.allocated && pix.width == w && pix.height == h && pix.bitDepth == bits) return true;
    int type, format;
    switch (bits) {
        case 8: type = OF_IMAGE_GRAYSCALE; format = GL_LUMINANCE; break;
        case 24: type = OF_IMAGE_COLOR; format = GL_RGB; break;
        case 32: type = OF_IMAGE_COLOR_ALPHA; format = GL_RGBA; break;
        default: return false;
    }
    if (!sizeAllowed(w, h)) return false;
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * (bits / 8);
    unsigned char* data = new (std::nothrow) unsigned char[bytes ? bytes : 1];
    if (!data) return false;
    freePixels(pix);
    pix.data = data;
    pix.width = w;
    pix.height = h;
    pix.bitDepth = bits;
    pix.channelCount = bits / 8;
    pix.glFormat = format;
    pix.imageType = type;
    pix.allocated = true;
    return true;
}

void ofImage::freePixels(ofPixels& pix) {
    delete[] pix.data;
    pix.data = nullptr;
    pix.width = pix.height = pix.bitDepth = pix.channelCount = 0;
    pix.glFormat = GL_LUMINANCE;
    pix.imageType = OF_IMAGE_UNDEFINED;
    pix.allocated = false;
}

void ofImage::allocateTexture() {
    texture.allocate(pixelBuffer.width, pixelBuffer.height, pixelBuffer.glFormat);
}

void ofImage::allocate(int w, int h, int type) {
    int bits;
    switch (type) {
        case OF_IMAGE_GRAYSCALE: bits = 8; break;
        case OF_IMAGE_COLOR: bits = 24; break;
        case OF_IMAGE_COLOR_ALPHA: bits = 32; break;
        default:
            ofLog(OF_LOG_ERROR, "error = bad imageType in ofImage::allocate");
            return;
    }
    if (!allocatePixels(pixelBuffer, w, h, bits)) {
        ofLog(OF_LOG_ERROR, "ofImage::allocate - cannot allocate %d x %d pixels", w, h);
        return;
    }
    if (useTexture) allocateTexture();
    update();
}

void ofImage::clear() {
    freePixels(pixelBuffer);
    if (useTexture) texture.clear();
    update();
}

bool ofImage::loadImage(std::string fileName) {
    if (!loadImageIntoPixels(ofToDataPath(fileName), pixelBuffer)) return false;
    if (useTexture) allocateTexture();
    update();
    return true;
}

bool ofImage::loadImageIntoPixels(const std::string& fileName, ofPixels& pix) {
    ensureFreeImage();
    struct stat st;
    if (stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;

    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(fileName.c_str(), 0);
    if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(fileName.c_str());
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) || !readerIsSafe(fif)) return false;
    // FreeImage's TGA reader trusts the header: a few damaged bytes claiming a
    // huge picture keep it busy for minutes, and short RLE data overruns its
    // read buffer.
    // Its PNM reader likewise spends seconds on a few bytes of garbage, and
    // its PNG reader on a chunk claiming far more than the file holds.
    const bool pnm = fif == FIF_PBM || fif == FIF_PBMRAW || fif == FIF_PGM || fif == FIF_PGMRAW ||
                     fif == FIF_PPM || fif == FIF_PPMRAW;
    // Its GIF reader allocates and clears the picture its header claims
    // (gigabytes from a few bytes) before it decodes anything. Its Sun Raster
    // reader cannot count past 65535 columns or rows; its WebP decoder spends
    // seconds on a few bytes claiming a huge lossy picture; its Photoshop
    // reader clears negative lengths on damaged RLE rows; its BMP reader
    // reads rows one by one far past the end of a file; its PCX reader reads
    // past a row shorter than the picture is wide.
    if (fif == FIF_TARGA || pnm || fif == FIF_PNG || fif == FIF_GIF || fif == FIF_RAS || fif == FIF_WEBP ||
        fif == FIF_PSD || fif == FIF_BMP || fif == FIF_PCX) {
        const std::string problem = pnm                 ? imageguard::pnmFileProblem(fileName)
                                    : fif == FIF_PNG  ? imageguard::pngFileProblem(fileName)
                                    : fif == FIF_GIF  ? imageguard::gifFileProblem(fileName, OF_MAX_IMAGE_PIXELS)
                                    : fif == FIF_RAS  ? imageguard::rasFileProblem(fileName)
                                    : fif == FIF_WEBP ? imageguard::webpFileProblem(fileName)
                                    : fif == FIF_PSD  ? imageguard::psdFileProblem(fileName)
                                    : fif == FIF_BMP  ? imageguard::bmpFileProblem(fileName)
                                    : fif == FIF_PCX  ? imageguard::pcxFileProblem(fileName)
                                                      : imageguard::tgaFileProblem(fileName);
        if (!problem.empty()) {
            ofLog(OF_LOG_ERROR, "ofImage::loadImage - cannot load %s: %s", fileName.c_str(), problem.c_str());
            return false;
        }
    }

    TiffMessages messages("reading", fileName);
    // Refuse huge pictures from their header, before FreeImage decodes them.
    if (FreeImage_FIFSupportsNoPixels(fif)) {
        Bitmap header(FreeImage_Load(fif, fileName.c_str(), FIF_LOAD_NOPIXELS));
        if (header && !sizeAllowed(FreeImage_GetWidth(header.get()), FreeImage_GetHeight(header.get())))
            return false;
    }
    Bitmap loaded(FreeImage_Load(fif, fileName.c_str(), 0));
    if (!loaded) return false;
    greykey::Key key;
    if (fif == FIF_PNG && greykey::findKey(fileName, key)) return putKeyedGreyIntoPixels(loaded.get(), fileName, pix);
    return putBmpIntoPixels(loaded.get(), pix);
}

bool ofImage::putKeyedGreyIntoPixels(FIBITMAP* bmp, const std::string& fileName, ofPixels& pix) {
    if (!sizeAllowed(FreeImage_GetWidth(bmp), FreeImage_GetHeight(bmp))) return false;
    // The colours as FreeImage gives them (widened, gamma-corrected), with
    // room for the alpha that the file's samples decide.
    FIBITMAP* standard = toStandard(bmp);
    Bitmap converted(standard != bmp ? standard : nullptr);
    if (!standard || !isStandard(standard)) return false;
    Bitmap widened;
    if (FreeImage_GetBPP(standard) != 32) {
        widened.reset(FreeImage_ConvertTo32Bits(standard));
        if (!widened) return false;
        standard = widened.get();
    }
    // Into a store of its own, so that a failure leaves `pix` as it was.
    ofPixels keyed;
    keyed.data = nullptr;
    freePixels(keyed);
    if (!putBmpIntoPixels(standard, keyed)) return false;
    if (keyed.bitDepth != 32 || !greykey::applyKeyAlpha(fileName, keyed.data, keyed.width, keyed.height)) {
        freePixels(keyed);
        return false;
    }
    freePixels(pix);
    pix = keyed;
    return true;
}

bool ofImage::putBmpIntoPixels(FIBITMAP* bmp, ofPixels& pix) {
    if (!bmp) return false;
    // Formats whose size cannot be read ahead are checked once decoded,
    // before a conversion allocates a full-depth copy.
    if (!sizeAllowed(FreeImage_GetWidth(bmp), FreeImage_GetHeight(bmp))) return false;
    FIBITMAP* standard = toStandard(bmp);
    Bitmap converted(standard != bmp ? standard : nullptr);
    if (!standard || !isStandard(standard)) return false;
    const int w = static_cast<int>(FreeImage_GetWidth(standard));
    const int h = static_cast<int>(FreeImage_GetHeight(standard));
    const int bits = static_cast<int>(FreeImage_GetBPP(standard));
    if (w <= 0 || h <= 0 || !allocatePixels(pix, w, h, bits)) return false;
    copyFromBitmap(standard, pix.data, w, h, pix.channelCount);
    return true;
}

FIBITMAP* ofImage::getBmpFromPixels(const ofPixels& pix) {
    if (!pix.allocated || pix.width <= 0 || pix.height <= 0) return nullptr;
    ensureFreeImage();
    return bitmapFromBuffer(pix.data, pix.width, pix.height, pix.channelCount);
}

bool ofImage::hasJpegExtension(const std::string& fileName) {
    ensureFreeImage();
    return FreeImage_GetFIFFromFilename(fileName.c_str()) == FIF_JPEG;
}

bool ofImage::saveImage(std::string fileName) {
    if (!pixelBuffer.allocated) {
        ofLog(OF_LOG_ERROR, "error saving image - pixels aren't allocated");
        return false;
    }
    return saveImageFromPixels(ofToDataPath(fileName), pixelBuffer, 0);
}

bool ofImage::saveImageFromPixels(const std::string& fileName, const ofPixels& pix, int flags) {
    std::string why;
    if (ofSavePixels(fileName, pix.data, pix.width, pix.height, pix.channelCount, flags, &why)) return true;
    ofLog(OF_LOG_ERROR, "ofImage - cannot save \"" + fileName + "\": " + why);
    return false;
}

void ofImage::setFromPixels(const unsigned char* pixels, int w, int h, int type, bool orderIsRGB) {
    if (type < OF_IMAGE_GRAYSCALE || type > OF_IMAGE_COLOR_ALPHA) {
        ofLog(OF_LOG_ERROR, "error = bad imageType in ofImage::setFromPixels");
        return;
    }
    if (!pixels) return;
    if (!pixelBuffer.allocated || w != pixelBuffer.width || h != pixelBuffer.height ||
        type != pixelBuffer.imageType)
        allocate(w, h, type);
    if (!pixelBuffer.allocated || w != pixelBuffer.width || h != pixelBuffer.height) return;

    const int channels = pixelBuffer.channelCount;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::memmove(pixelBuffer.data, pixels, count * channels);
    if (!orderIsRGB && channels > 1) {
        unsigned char* p = pixelBuffer.data;
        for (std::size_t i = 0; i < count; ++i, p += channels) std::swap(p[0], p[2]);
    }
    update();
}

void ofImage::clone(const ofImage& src) {
    if (&src == this || !src.pixelBuffer.allocated) return;
    const ofPixels& from = src.pixelBuffer;
    if (!allocatePixels(pixelBuffer, from.width, from.height, from.bitDepth)) {
        ofLog(OF_LOG_ERROR, "ofImage::clone - cannot allocate %d x %d pixels", from.width, from.height);
        return;
    }
    std::memcpy(pixelBuffer.data, from.data,
                static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height) * from.channelCount);
    texture.clear();
    useTexture = src.useTexture;
    if (useTexture) allocateTexture();
    update();
}

void ofImage::resize(int w, int h) {
    if (!pixelBuffer.allocated) return;
    if (w <= 0 || h <= 0 || !sizeAllowed(w, h)) {
        ofLog(OF_LOG_ERROR, "ofImage::resize - bad size %d x %d", w, h);
        return;
    }
    Bitmap bmp(getBmpFromPixels(pixelBuffer));
    if (!bmp) return;
    Bitmap scaled(FreeImage_Rescale(bmp.get(), w, h, FILTER_BICUBIC));
    if (!scaled || !putBmpIntoPixels(scaled.get(), pixelBuffer)) return;
    if (useTexture) {
        texture.clear();
        allocateTexture();
    }
    update();
}

void ofImage::grabScreen(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    if (!pixelBuffer.allocated)
        allocate(w, h, OF_IMAGE_COLOR);
    else if (w != pixelBuffer.width || h != pixelBuffer.height)
        allocate(w, h, pixelBuffer.imageType);
    if (!pixelBuffer.allocated || w != pixelBuffer.width || h != pixelBuffer.height) return;

    const int screenHeight = ofGetHeight();
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(x, screenHeight - y - h, w, h, pixelBuffer.glFormat, GL_UNSIGNED_BYTE, pixelBuffer.data);
    glPopClientAttrib();

    // GL rows run bottom-up.
    const std::size_t rowBytes = static_cast<std::size_t>(w) * pixelBuffer.channelCount;
    std::unique_ptr<unsigned char[]> row(new unsigned char[rowBytes]);
    for (int i = 0; i < h / 2; ++i) {
        unsigned char* top = pixelBuffer.data + static_cast<std::size_t>(i) * rowBytes;
        unsigned char* bottom = pixelBuffer.data + static_cast<std::size_t>(h - 1 - i) * rowBytes;
        std::memcpy(row.get(), top, rowBytes);
        std::memcpy(top, bottom, rowBytes);
        std::memcpy(bottom, row.get(), rowBytes);
    }
    update();
}

bool ofImage::changeTypeOfPixels(ofPixels& pix, int type) {
    if (!pix.allocated || type == pix.imageType) return false;
    Bitmap bmp(getBmpFromPixels(pix));
    if (!bmp) return false;
    Bitmap converted;
    switch (type) {
        case OF_IMAGE_GRAYSCALE: converted.reset(FreeImage_ConvertToGreyscale(bmp.get())); break;
        case OF_IMAGE_COLOR: converted.reset(FreeImage_ConvertTo24Bits(bmp.get())); break;
        case OF_IMAGE_COLOR_ALPHA: converted.reset(FreeImage_ConvertTo32Bits(bmp.get())); break;
        default: return false;
    }
    return converted && putBmpIntoPixels(converted.get(), pix);
}

void ofImage::setImageType(int type) {
    if (type < OF_IMAGE_GRAYSCALE || type > OF_IMAGE_COLOR_ALPHA) {
        ofLog(OF_LOG_ERROR, "error = bad imageType in ofImage::setImageType");
        return;
    }
    const bool grows = pixelBuffer.imageType < type;
    // A growing type needs a texture with room for the new channels; a
    // shrinking one uploads into the texture it has.
    if (changeTypeOfPixels(pixelBuffer, type) && grows && useTexture && type != OF_IMAGE_GRAYSCALE) {
        texture.clear();
        texture.allocate(pixelBuffer.width, pixelBuffer.height, type == OF_IMAGE_COLOR ? GL_RGB : GL_RGBA);
    }
    update();
}

namespace {

int channelsOfFormat(int format) {
    switch (format) {
        case GL_LUMINANCE: return 1;
        case GL_RGB: return 3;
        default: return 4;
    }
}

}  // namespace

void ofImage::update() {
    if (pixelBuffer.allocated && useTexture) {
        // After useTexture was off for a while the texture may be missing or
        // too small for the pixels.
        const bool fits = texture.bAllocated() && texture.allocWidth >= pixelBuffer.width &&
                          texture.allocHeight >= pixelBuffer.height &&
                          channelsOfFormat(texture.internalFormat) >= pixelBuffer.channelCount;
        if (!fits) allocateTexture();
        texture.loadData(pixelBuffer.data, pixelBuffer.width, pixelBuffer.height, pixelBuffer.glFormat);
    }
    width = pixelBuffer.width;
    height = pixelBuffer.height;
    bitDepth = pixelBuffer.bitDepth;
    imageType = pixelBuffer.imageType;
}

unsigned char* ofImage::getPixels() { return pixelBuffer.data; }
float ofImage::getWidth() { return static_cast<float>(width); }
float ofImage::getHeight() { return static_cast<float>(height); }

void ofImage::setUseTexture(bool use) { useTexture = use; }

ofTexture& ofImage::getTextureReference() {
    if (!texture.bAllocated()) ofLog(OF_LOG_WARNING, "ofImage - getTextureReference - texture is not allocated");
    return texture;
}

void ofImage::draw(float x, float y) {
    draw(x, y, static_cast<float>(pixelBuffer.width), static_cast<float>(pixelBuffer.height));
}

void ofImage::draw(float x, float y, float w, float h) {
    if (useTexture) texture.draw(x, y, w, h);
}

void ofImage::setAnchorPercent(float xPct, float yPct) {
    if (useTexture) texture.setAnchorPercent(xPct, yPct);
}

void ofImage::setAnchorPoint(float x, float y) {
    if (useTexture) texture.setAnchorPoint(x, y);
}

void ofImage::resetAnchor() {
    if (useTexture) texture.resetAnchor();
}
