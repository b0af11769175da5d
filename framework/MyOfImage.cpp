#include "framework/MyOfImage.h"

#include "framework/ofUtils.h"

MyOfImage::MyOfImage() : log(new Log("myOfImage.log", false)) {}

// Only the log is ours; ofImage makes no GL or FreeImage call for an image
// that holds no texture, so the process-wide presets can die at exit.
MyOfImage::~MyOfImage() { delete log; }

bool MyOfImage::textureAllocated() { return texture.bAllocated(); }

bool MyOfImage::saveJpg(std::string fileName, int quality) {
    const std::string name = ofToDataPath(fileName);
    if (quality > 100) quality = 100;
    if (quality <= 0) quality = 1;
    if (!pixelBuffer.allocated) {
        log->log("saveJpg: pixels aren't allocated", name.c_str());
        return false;
    }
    if (!hasJpegExtension(name)) {
        log->log("saveJpg: not a JPEG file name, nothing saved", name.c_str());
        return false;
    }
    if (!saveImageFromPixels(name, pixelBuffer, quality)) {
        log->log("saveJpg: saving failed", name.c_str());
        return false;
    }
    return true;
}
