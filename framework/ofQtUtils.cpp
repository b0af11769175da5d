#include "framework/ofQtUtils.h"

#include <cstddef>

#include "framework/ofUtils.h"

namespace {

bool bQuicktimeInitialized = false;

constexpr QtFourCC kVideoCharacteristic = qtFourCC("vfrr");
constexpr QtFourCC kMpegCharacteristic = qtFourCC("mpeg");
constexpr QtFourCC kOutputRateInfo = qtFourCC("orat");

}  // namespace

bool initializeQuicktime() {
    if (bQuicktimeInitialized)
        return true;
    QtErr error = InitializeQTML(0);
    if (error == kQtNoErr) {
        error = EnterMovies();
        if (error != kQtNoErr)
            TerminateQTML();
    }
    if (error != kQtNoErr) {
        // Movies are optional: report and carry on without them.
        ofLog(OF_LOG_ERROR, "-----------------------------------------------------");
        ofLog(OF_LOG_ERROR, "sorry, there is a problem with quicktime starting up... please check!");
        return false;
    }
    bQuicktimeInitialized = true;
    return true;
}

void closeQuicktime() {
    if (!bQuicktimeInitialized)
        return;
    ExitMovies();
    TerminateQTML();
    bQuicktimeInitialized = false;
}

void convertPixels(const unsigned char* src, unsigned char* dst, int width, int height) {
    if (!src || !dst || width <= 0 || height <= 0)
        return;
    size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < pixels; ++i) {
        dst[i * 3 + 0] = src[i * 4 + 1];
        dst[i * 3 + 1] = src[i * 4 + 2];
        dst[i * 3 + 2] = src[i * 4 + 3];
    }
}

unsigned char SeqGrabberModalFilterUPP(GrafPort*, const EventRecord* event, int16_t*, int32_t refcon) {
    if (!event || event->kind != kQtUpdateEvent || event->message != refcon)
        return 0;
    BeginUpdate(event->message);
    EndUpdate(event->message);
    return 1;
}

void MovieGetVideoMediaAndMediaHandler(MovieRecord* movie, MediaRecord** media, ComponentInstanceRecord** handler) {
    if (!media || !handler)
        return;
    *media = nullptr;
    *handler = nullptr;
    TrackRecord* track =
        GetMovieIndTrackType(movie, 1, kVideoCharacteristic, kQtTrackByCharacteristic | kQtTrackEnabledOnly);
    if (!track)
        return;
    *media = GetTrackMedia(track);
    if (*media)
        *handler = GetMediaHandler(*media);
}

int32_t IsMPEGMediaHandler(ComponentInstanceRecord* handler, unsigned char* isMPEG) {
    return static_cast<int32_t>(MediaHasCharacteristic(handler, kMpegCharacteristic, isMPEG));
}

int32_t MPEGMediaGetStaticFrameRate(ComponentInstanceRecord* handler, int32_t* rate) {
    if (!rate)
        return kQtErrBadParam;
    *rate = 0;
    int32_t value = 0;
    int32_t size = sizeof value;
    int32_t result = MediaGetPublicInfo(handler, kOutputRateInfo, &value, &size);
    if (result == kQtNoErr)
        *rate = value;
    return result;
}

QtErr MediaGetStaticFrameRate(MediaRecord* media, double* fps) {
    if (!fps)
        return kQtErrBadParam;
    *fps = 0;
    int32_t count = GetMediaSampleCount(media);
    QtErr error = GetMoviesError();
    if (count <= 0 || error != kQtNoErr)
        return error;
    int32_t duration = GetMediaDuration(media);
    error = GetMoviesError();
    if (error != kQtNoErr)
        return error;
    int32_t scale = GetMediaTimeScale(media);
    error = GetMoviesError();
    if (error != kQtNoErr)
        return error;
    // A media without length or clock has no frame rate; never divide by it.
    if (duration <= 0 || scale <= 0)
        return kQtErrBadTiming;
    *fps = static_cast<double>(count) * static_cast<double>(scale) / static_cast<double>(duration);
    return kQtNoErr;
}

QtErr MovieGetStaticFrameRate(MovieRecord* movie, double* fps) {
    if (!fps)
        return kQtErrBadParam;
    *fps = 0;
    MediaRecord* media = nullptr;
    ComponentInstanceRecord* handler = nullptr;
    MovieGetVideoMediaAndMediaHandler(movie, &media, &handler);
    if (!media || !handler)
        return kQtErrNoVideo;

    unsigned char isMPEG = 0;
    int32_t result = IsMPEGMediaHandler(handler, &isMPEG);
    if (result != kQtNoErr)
        return static_cast<QtErr>(result);

    if (isMPEG) {
        int32_t rate = 0;
        result = MPEGMediaGetStaticFrameRate(handler, &rate);
        if (result != kQtNoErr)
            return static_cast<QtErr>(result);
        *fps = Fix2X(rate);
        return kQtNoErr;
    }

    QtErr error = MediaGetStaticFrameRate(media, fps);
    if (error != kQtNoErr)
        ofLog(OF_LOG_ERROR, "error in MediaGetStaticFrameRate, ofQtUtils");
    return error;
}
