#include "platform/qt_shim.h"

#include <algorithm>
#include <cstring>

QtLibrary& qtLibrary() {
    static QtLibrary library;
    return library;
}

QtErr InitializeQTML(int32_t) {
    ++qtLibrary().initializeCalls;
    return qtLibrary().initializeResult;
}

QtErr EnterMovies() {
    ++qtLibrary().enterCalls;
    return qtLibrary().enterResult;
}

void ExitMovies() {
    ++qtLibrary().exitCalls;
}

void TerminateQTML() {
    ++qtLibrary().terminateCalls;
}

void BeginUpdate(int32_t window) {
    qtLibrary().updateCalls.push_back("BeginUpdate(" + std::to_string(window) + ")");
}

void EndUpdate(int32_t window) {
    qtLibrary().updateCalls.push_back("EndUpdate(" + std::to_string(window) + ")");
}

namespace {

bool contains(const std::vector<QtFourCC>& codes, QtFourCC code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// Every media call leaves its status for GetMoviesError.
template <typename T>
T answer(QtErr error, T value) {
    qtLibrary().lastError = error;
    return value;
}

}  // namespace

TrackRecord* GetMovieIndTrackType(MovieRecord* movie, int32_t index, QtFourCC type, int32_t flags) {
    if (!movie || index < 1)
        return answer<TrackRecord*>(kQtErrInvalidRecord, nullptr);
    int32_t seen = 0;
    for (TrackRecord& track : movie->tracks) {
        if ((flags & kQtTrackEnabledOnly) && !track.enabled)
            continue;
        bool matches = (flags & kQtTrackByCharacteristic) ? contains(track.characteristics, type)
                                                          : track.mediaType == type;
        if (matches && ++seen == index)
            return answer(kQtNoErr, &track);
    }
    return answer<TrackRecord*>(kQtNoErr, nullptr);
}

MediaRecord* GetTrackMedia(TrackRecord* track) {
    if (!track)
        return answer<MediaRecord*>(kQtErrInvalidRecord, nullptr);
    return answer(kQtNoErr, track->media);
}

ComponentInstanceRecord* GetMediaHandler(MediaRecord* media) {
    if (!media)
        return answer<ComponentInstanceRecord*>(kQtErrInvalidRecord, nullptr);
    return answer(kQtNoErr, media->handler);
}

QtErr MediaHasCharacteristic(ComponentInstanceRecord* handler, QtFourCC characteristic, unsigned char* has) {
    if (has)
        *has = 0;
    if (!handler)
        return kQtErrInvalidRecord;
    if (!has)
        return kQtErrBadParam;
    if (handler->characteristicResult != kQtNoErr)
        return handler->characteristicResult;
    *has = contains(handler->characteristics, characteristic) ? 1 : 0;
    return kQtNoErr;
}

int32_t MediaGetPublicInfo(ComponentInstanceRecord* handler, QtFourCC selector, void* value, int32_t* size) {
    if (!handler)
        return kQtErrInvalidRecord;
    if (!value || !size || *size < static_cast<int32_t>(sizeof(int32_t)))
        return kQtErrBadParam;
    auto found = handler->publicInfo.find(selector);
    if (found == handler->publicInfo.end())
        return kQtErrNoInfo;
    std::memcpy(value, &found->second, sizeof(int32_t));
    *size = sizeof(int32_t);
    return kQtNoErr;
}

int32_t GetMediaSampleCount(MediaRecord* media) {
    if (!media)
        return answer<int32_t>(kQtErrInvalidRecord, 0);
    return answer(media->sampleCountError, media->sampleCount);
}

int32_t GetMediaDuration(MediaRecord* media) {
    if (!media)
        return answer<int32_t>(kQtErrInvalidRecord, 0);
    return answer(media->durationError, media->duration);
}

int32_t GetMediaTimeScale(MediaRecord* media) {
    if (!media)
        return answer<int32_t>(kQtErrInvalidRecord, 0);
    return answer(media->timeScaleError, media->timeScale);
}

QtErr GetMoviesError() {
    return qtLibrary().lastError;
}

double Fix2X(int32_t fixed) {
    return static_cast<double>(fixed) / 65536.0;
}
