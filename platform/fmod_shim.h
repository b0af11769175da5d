#pragma once
// Our own small sound layer: the calls the sound player makes, behind a
// replaceable backend. The default backend is silent: it starts and stops,
// but no sound can be loaded. Handles are opaque; every call returns an int
// result, 0 for success.

struct FmodSystem;
struct FmodChannelGroup;
struct FmodChannel;
struct FmodSound;

using FmodResult = int;

constexpr FmodResult kFmodOk = 0;
constexpr FmodResult kFmodErrInvalidHandle = 1;  // a null handle or output
constexpr FmodResult kFmodErrCannotLoad = 2;     // the file cannot be opened as a sound
constexpr FmodResult kFmodErrFailed = 3;         // anything else a backend refuses

// Mode bits of sounds and channels.
constexpr unsigned kFmodLoopOff = 0x1;
constexpr unsigned kFmodLoopNormal = 0x2;
constexpr unsigned kFmodSoftware = 0x40;
constexpr unsigned kFmodCreateStream = 0x80;

constexpr unsigned kFmodTimeUnitPcm = 2;  // positions and lengths in PCM samples
constexpr int kFmodChannelFree = -1;      // play on any free channel
constexpr int kFmodSpectrumWindow = 3;    // analysis window of the spectrum

// What stands behind the calls below. Handles and outputs reaching a backend
// are never null: the calls reject those first.
class FmodBackend {
public:
    virtual ~FmodBackend() = default;

    virtual FmodResult systemCreate(FmodSystem** system) = 0;
    virtual FmodResult systemInit(FmodSystem* system, int maxChannels, unsigned flags, void* driverData) = 0;
    virtual FmodResult systemGetMasterChannelGroup(FmodSystem* system, FmodChannelGroup** group) = 0;
    virtual FmodResult systemClose(FmodSystem* system) = 0;
    virtual FmodResult systemRelease(FmodSystem* system) = 0;
    virtual FmodResult systemUpdate(FmodSystem* system) = 0;
    virtual FmodResult systemGetSpectrum(FmodSystem* system, float* values, int count, int channelOffset, int window) = 0;
    virtual FmodResult systemCreateSound(FmodSystem* system, const char* name, unsigned mode, void* info, FmodSound** sound) = 0;
    virtual FmodResult systemPlaySound(FmodSystem* system, int channelId, FmodSound* sound, bool paused, FmodChannel** channel) = 0;

    virtual FmodResult channelGroupStop(FmodChannelGroup* group) = 0;
    virtual FmodResult channelGroupSetVolume(FmodChannelGroup* group, float volume) = 0;

    virtual FmodResult soundGetLength(FmodSound* sound, unsigned* length, unsigned unit) = 0;
    virtual FmodResult soundRelease(FmodSound* sound) = 0;

    virtual FmodResult channelStop(FmodChannel* channel) = 0;
    virtual FmodResult channelIsPlaying(FmodChannel* channel, bool* playing) = 0;
    virtual FmodResult channelSetVolume(FmodChannel* channel, float volume) = 0;
    virtual FmodResult channelSetPan(FmodChannel* channel, float pan) = 0;
    virtual FmodResult channelSetFrequency(FmodChannel* channel, float frequency) = 0;
    virtual FmodResult channelGetFrequency(FmodChannel* channel, float* frequency) = 0;
    virtual FmodResult channelSetMode(FmodChannel* channel, unsigned mode) = 0;
    virtual FmodResult channelSetPaused(FmodChannel* channel, bool paused) = 0;
    virtual FmodResult channelSetPosition(FmodChannel* channel, unsigned position, unsigned unit) = 0;
    virtual FmodResult channelGetPosition(FmodChannel* channel, unsigned* position, unsigned unit) = 0;
};

// Installs a backend (not owned); nullptr brings back the silent one.
void fmodSetBackend(FmodBackend* backend);
FmodBackend& fmodBackend();

FmodResult FMOD_System_Create(FmodSystem** system);
FmodResult FMOD_System_Init(FmodSystem* system, int maxChannels, unsigned flags, void* driverData);
FmodResult FMOD_System_GetMasterChannelGroup(FmodSystem* system, FmodChannelGroup** group);
FmodResult FMOD_System_Close(FmodSystem* system);
FmodResult FMOD_System_Release(FmodSystem* system);
FmodResult FMOD_System_Update(FmodSystem* system);
FmodResult FMOD_System_GetSpectrum(FmodSystem* system, float* values, int count, int channelOffset, int window);
FmodResult FMOD_System_CreateSound(FmodSystem* system, const char* name, unsigned mode, void* info, FmodSound** sound);
FmodResult FMOD_System_PlaySound(FmodSystem* system, int channelId, FmodSound* sound, bool paused, FmodChannel** channel);

FmodResult FMOD_ChannelGroup_Stop(FmodChannelGroup* group);
FmodResult FMOD_ChannelGroup_SetVolume(FmodChannelGroup* group, float volume);

FmodResult FMOD_Sound_GetLength(FmodSound* sound, unsigned* length, unsigned unit);
FmodResult FMOD_Sound_Release(FmodSound* sound);

FmodResult FMOD_Channel_Stop(FmodChannel* channel);
FmodResult FMOD_Channel_IsPlaying(FmodChannel* channel, bool* playing);
FmodResult FMOD_Channel_SetVolume(FmodChannel* channel, float volume);
FmodResult FMOD_Channel_SetPan(FmodChannel* channel, float pan);
FmodResult FMOD_Channel_SetFrequency(FmodChannel* channel, float frequency);
FmodResult FMOD_Channel_GetFrequency(FmodChannel* channel, float* frequency);
FmodResult FMOD_Channel_SetMode(FmodChannel* channel, unsigned mode);
FmodResult FMOD_Channel_SetPaused(FmodChannel* channel, bool paused);
FmodResult FMOD_Channel_SetPosition(FmodChannel* channel, unsigned position, unsigned unit);
FmodResult FMOD_Channel_GetPosition(FmodChannel* channel, unsigned* position, unsigned unit);
