#pragma once
// Our own stand-in for the movie library: its start and stop, and the movie,
// track, media and media-handler records that the movie helpers read. The
// records are plain data filled in by whoever makes them (tests do); nothing
// here decodes a movie. 32-bit values are int32_t, statuses 16-bit.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

using QtErr = int16_t;
using QtFourCC = uint32_t;

// A four-character code read as a big-endian 32-bit value.
constexpr QtFourCC qtFourCC(const char (&code)[5]) {
    return (static_cast<QtFourCC>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<QtFourCC>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<QtFourCC>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<QtFourCC>(static_cast<unsigned char>(code[3]));
}

constexpr QtErr kQtNoErr = 0;
constexpr QtErr kQtErrInvalidRecord = -1;  // a null movie, track, media or handler
constexpr QtErr kQtErrNoInfo = -2;         // the handler has no such public information
constexpr QtErr kQtErrBadParam = -3;       // a null output or a buffer too small
constexpr QtErr kQtErrNoVideo = -4;        // no video track, media or handler
constexpr QtErr kQtErrBadTiming = -5;      // a media without a positive duration or time scale

// Flags of GetMovieIndTrackType.
constexpr int32_t kQtTrackByCharacteristic = 2;  // match a track characteristic, not a media type
constexpr int32_t kQtTrackEnabledOnly = 4;

struct ComponentInstanceRecord {
    std::vector<QtFourCC> characteristics;
    QtErr characteristicResult = kQtNoErr;  // what MediaHasCharacteristic reports
    std::map<QtFourCC, int32_t> publicInfo;
};

struct MediaRecord {
    int32_t sampleCount = 0;
    int32_t duration = 0;
    int32_t timeScale = 0;
    // Left in GetMoviesError by the matching call.
    QtErr sampleCountError = kQtNoErr;
    QtErr durationError = kQtNoErr;
    QtErr timeScaleError = kQtNoErr;
    ComponentInstanceRecord* handler = nullptr;
};

struct TrackRecord {
    QtFourCC mediaType = 0;
    std::vector<QtFourCC> characteristics;
    bool enabled = true;
    MediaRecord* media = nullptr;
};

struct MovieRecord {
    std::vector<TrackRecord> tracks;
};

struct GrafPort {};

struct EventRecord {
    uint16_t kind = 0;
    int32_t message = 0;
};

constexpr uint16_t kQtUpdateEvent = 6;

// Start and stop state; the start results can be scripted.
struct QtLibrary {
    QtErr initializeResult = kQtNoErr;
    QtErr enterResult = kQtNoErr;
    int initializeCalls = 0;
    int enterCalls = 0;
    int exitCalls = 0;
    int terminateCalls = 0;
    std::vector<std::string> updateCalls;  // "BeginUpdate(7)", "EndUpdate(7)"
    QtErr lastError = kQtNoErr;
};

QtLibrary& qtLibrary();

QtErr InitializeQTML(int32_t flags);
QtErr EnterMovies();
void ExitMovies();
void TerminateQTML();

// Windows are known by the 32-bit value an update event carries.
void BeginUpdate(int32_t window);
void EndUpdate(int32_t window);

// index counts from 1 over the matching tracks.
TrackRecord* GetMovieIndTrackType(MovieRecord* movie, int32_t index, QtFourCC type, int32_t flags);
MediaRecord* GetTrackMedia(TrackRecord* track);
ComponentInstanceRecord* GetMediaHandler(MediaRecord* media);
QtErr MediaHasCharacteristic(ComponentInstanceRecord* handler, QtFourCC characteristic, unsigned char* has);
int32_t MediaGetPublicInfo(ComponentInstanceRecord* handler, QtFourCC selector, void* value, int32_t* size);
int32_t GetMediaSampleCount(MediaRecord* media);
int32_t GetMediaDuration(MediaRecord* media);
int32_t GetMediaTimeScale(MediaRecord* media);
QtErr GetMoviesError();
double Fix2X(int32_t fixed);  // 16.16 fixed point
