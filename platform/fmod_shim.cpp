#include "platform/fmod_shim.h"

#include <algorithm>

namespace {

// No sound output on this platform: the system starts and stops, every
// channel call succeeds without effect, and no sound file can be loaded.
class SilentBackend final : public FmodBackend {
public:
    FmodResult systemCreate(FmodSystem** system) override {
        *system = reinterpret_cast<FmodSystem*>(&systemToken);
        return kFmodOk;
    }
    FmodResult systemInit(FmodSystem*, int, unsigned, void*) override { return kFmodOk; }
    FmodResult systemGetMasterChannelGroup(FmodSystem*, FmodChannelGroup** group) override {
        *group = reinterpret_cast<FmodChannelGroup*>(&groupToken);
        return kFmodOk;
    }
    FmodResult systemClose(FmodSystem*) override { return kFmodOk; }
    FmodResult systemRelease(FmodSystem*) override { return kFmodOk; }
    FmodResult systemUpdate(FmodSystem*) override { return kFmodOk; }
    FmodResult systemGetSpectrum(FmodSystem*, float* values, int count, int, int) override {
        std::fill(values, values + count, 0.0f);
        return kFmodOk;
    }
    FmodResult systemCreateSound(FmodSystem*, const char*, unsigned, void*, FmodSound** sound) override {
        *sound = nullptr;
        return kFmodErrCannotLoad;
    }
    FmodResult systemPlaySound(FmodSystem*, int, FmodSound*, bool, FmodChannel** channel) override {
        *channel = nullptr;
        return kFmodErrInvalidHandle;
    }
    FmodResult channelGroupStop(FmodChannelGroup*) override { return kFmodOk; }
    FmodResult channelGroupSetVolume(FmodChannelGroup*, float) override { return kFmodOk; }
    FmodResult soundGetLength(FmodSound*, unsigned* length, unsigned) override {
        *length = 0;
        return kFmodOk;
    }
    FmodResult soundRelease(FmodSound*) override { return kFmodOk; }
    FmodResult channelStop(FmodChannel*) override { return kFmodOk; }
    FmodResult channelIsPlaying(FmodChannel*, bool* playing) override {
        *playing = false;
        return kFmodOk;
    }
    FmodResult channelSetVolume(FmodChannel*, float) override { return kFmodOk; }
    FmodResult channelSetPan(FmodChannel*, float) override { return kFmodOk; }
    FmodResult channelSetFrequency(FmodChannel*, float) override { return kFmodOk; }
    FmodResult channelGetFrequency(FmodChannel*, float* frequency) override {
        *frequency = 0.0f;
        return kFmodOk;
    }
    FmodResult channelSetMode(FmodChannel*, unsigned) override { return kFmodOk; }
    FmodResult channelSetPaused(FmodChannel*, bool) override { return kFmodOk; }
    FmodResult channelSetPosition(FmodChannel*, unsigned, unsigned) override { return kFmodOk; }
    FmodResult channelGetPosition(FmodChannel*, unsigned* position, unsigned) override {
        *position = 0;
        return kFmodOk;
    }

private:
    char systemToken = 0;
    char groupToken = 0;
};

SilentBackend silentBackend;
FmodBackend* currentBackend = &silentBackend;

// A rejected call leaves its output in a defined state.
template <typename T>
FmodResult reject(T* out, T value) {
    if (out)
        *out = value;
    return kFmodErrInvalidHandle;
}

}  // namespace

void fmodSetBackend(FmodBackend* backend) {
    currentBackend = backend ? backend : &silentBackend;
}

FmodBackend& fmodBackend() {
    return *currentBackend;
}

FmodResult FMOD_System_Create(FmodSystem** system) {
    if (!system)
        return kFmodErrInvalidHandle;
    *system = nullptr;
    return currentBackend->systemCreate(system);
}

FmodResult FMOD_System_Init(FmodSystem* system, int maxChannels, unsigned flags, void* driverData) {
    return system ? currentBackend->systemInit(system, maxChannels, flags, driverData) : kFmodErrInvalidHandle;
}

FmodResult FMOD_System_GetMasterChannelGroup(FmodSystem* system, FmodChannelGroup** group) {
    if (!system || !group)
        return reject<FmodChannelGroup*>(group, nullptr);
    *group = nullptr;
    return currentBackend->systemGetMasterChannelGroup(system, group);
}

FmodResult FMOD_System_Close(FmodSystem* system) {
    return system ? currentBackend->systemClose(system) : kFmodErrInvalidHandle;
}

FmodResult FMOD_System_Release(FmodSystem* system) {
    return system ? currentBackend->systemRelease(system) : kFmodErrInvalidHandle;
}

FmodResult FMOD_System_Update(FmodSystem* system) {
    return system ? currentBackend->systemUpdate(system) : kFmodErrInvalidHandle;
}

FmodResult FMOD_System_GetSpectrum(FmodSystem* system, float* values, int count, int channelOffset, int window) {
    if (!values || count < 0)
        return kFmodErrInvalidHandle;
    if (!system) {
        std::fill(values, values + count, 0.0f);
        return kFmodErrInvalidHandle;
    }
    return currentBackend->systemGetSpectrum(system, values, count, channelOffset, window);
}

FmodResult FMOD_System_CreateSound(FmodSystem* system, const char* name, unsigned mode, void* info,
                                   FmodSound** sound) {
    if (!system || !name || !sound)
        return reject<FmodSound*>(sound, nullptr);
    *sound = nullptr;
    return currentBackend->systemCreateSound(system, name, mode, info, sound);
}

FmodResult FMOD_System_PlaySound(FmodSystem* system, int channelId, FmodSound* sound, bool paused,
                                 FmodChannel** channel) {
    if (!system || !sound || !channel)
        return reject<FmodChannel*>(channel, nullptr);
    *channel = nullptr;
    return currentBackend->systemPlaySound(system, channelId, sound, paused, channel);
}

FmodResult FMOD_ChannelGroup_Stop(FmodChannelGroup* group) {
    return group ? currentBackend->channelGroupStop(group) : kFmodErrInvalidHandle;
}

FmodResult FMOD_ChannelGroup_SetVolume(FmodChannelGroup* group, float volume) {
    return group ? currentBackend->channelGroupSetVolume(group, volume) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Sound_GetLength(FmodSound* sound, unsigned* length, unsigned unit) {
    if (!sound || !length)
        return reject<unsigned>(length, 0);
    return currentBackend->soundGetLength(sound, length, unit);
}

FmodResult FMOD_Sound_Release(FmodSound* sound) {
    return sound ? currentBackend->soundRelease(sound) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_Stop(FmodChannel* channel) {
    return channel ? currentBackend->channelStop(channel) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_IsPlaying(FmodChannel* channel, bool* playing) {
    if (!channel || !playing)
        return reject<bool>(playing, false);
    return currentBackend->channelIsPlaying(channel, playing);
}

FmodResult FMOD_Channel_SetVolume(FmodChannel* channel, float volume) {
    return channel ? currentBackend->channelSetVolume(channel, volume) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_SetPan(FmodChannel* channel, float pan) {
    return channel ? currentBackend->channelSetPan(channel, pan) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_SetFrequency(FmodChannel* channel, float frequency) {
    return channel ? currentBackend->channelSetFrequency(channel, frequency) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_GetFrequency(FmodChannel* channel, float* frequency) {
    if (!channel || !frequency)
        return kFmodErrInvalidHandle;
    return currentBackend->channelGetFrequency(channel, frequency);
}

FmodResult FMOD_Channel_SetMode(FmodChannel* channel, unsigned mode) {
    return channel ? currentBackend->channelSetMode(channel, mode) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_SetPaused(FmodChannel* channel, bool paused) {
    return channel ? currentBackend->channelSetPaused(channel, paused) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_SetPosition(FmodChannel* channel, unsigned position, unsigned unit) {
    return channel ? currentBackend->channelSetPosition(channel, position, unit) : kFmodErrInvalidHandle;
}

FmodResult FMOD_Channel_GetPosition(FmodChannel* channel, unsigned* position, unsigned unit) {
    if (!channel || !position)
        return reject<unsigned>(position, 0);
    return currentBackend->channelGetPosition(channel, position, unit);
}
