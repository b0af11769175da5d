#include "platform/fmod_fake.h"

#include <algorithm>

FakeFmod::FakeFmod() : previous(&fmodBackend()) {
    fmodSetBackend(this);
}

FakeFmod::~FakeFmod() {
    if (&fmodBackend() == this)
        fmodSetBackend(previous);
}

int FakeFmod::count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.compare(0, prefix.size(), prefix) == 0;
    }));
}

void* FakeFmod::make(const std::string& prefix, int& counter) {
    tokens.push_back(0);
    void* handle = &tokens.back();
    names[handle] = prefix + std::to_string(++counter);
    return handle;
}

std::string FakeFmod::name(const void* handle) const {
    auto found = names.find(handle);
    return found == names.end() ? "?" : found->second;
}

FmodResult FakeFmod::systemCreate(FmodSystem** system) {
    *system = static_cast<FmodSystem*>(make("sys", systems));
    return record("FMOD_System_Create", name(*system));
}

FmodResult FakeFmod::systemInit(FmodSystem* system, int maxChannels, unsigned flags, void* driverData) {
    return record("FMOD_System_Init", name(system), maxChannels, flags, driverData ? "data" : "null");
}

FmodResult FakeFmod::systemGetMasterChannelGroup(FmodSystem* system, FmodChannelGroup** group) {
    *group = static_cast<FmodChannelGroup*>(make("group", groups));
    return record("FMOD_System_GetMasterChannelGroup", name(system), name(*group));
}

FmodResult FakeFmod::systemClose(FmodSystem* system) {
    return record("FMOD_System_Close", name(system));
}

FmodResult FakeFmod::systemRelease(FmodSystem* system) {
    return record("FMOD_System_Release", name(system));
}

FmodResult FakeFmod::systemUpdate(FmodSystem* system) {
    return record("FMOD_System_Update", name(system));
}

FmodResult FakeFmod::systemGetSpectrum(FmodSystem* system, float* values, int count, int channelOffset, int window) {
    record("FMOD_System_GetSpectrum", name(system), count, channelOffset, window);
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<size_t>(i) < spectrum.size() ? spectrum[static_cast<size_t>(i)] : 0.0f;
    return kFmodOk;
}

FmodResult FakeFmod::systemCreateSound(FmodSystem* system, const char* fileName, unsigned mode, void* info,
                                       FmodSound** sound) {
    if (createSoundResult == kFmodOk)
        *sound = static_cast<FmodSound*>(make("sound", sounds));
    record("FMOD_System_CreateSound", name(system), fileName, mode, info ? "info" : "null");
    return createSoundResult;
}

FmodResult FakeFmod::systemPlaySound(FmodSystem* system, int channelId, FmodSound* sound, bool paused,
                                     FmodChannel** channel) {
    *channel = static_cast<FmodChannel*>(make("ch", channels));
    return record("FMOD_System_PlaySound", name(system), channelId, name(sound), paused, name(*channel));
}

FmodResult FakeFmod::channelGroupStop(FmodChannelGroup* group) {
    return record("FMOD_ChannelGroup_Stop", name(group));
}

FmodResult FakeFmod::channelGroupSetVolume(FmodChannelGroup* group, float volume) {
    return record("FMOD_ChannelGroup_SetVolume", name(group), volume);
}

FmodResult FakeFmod::soundGetLength(FmodSound* sound, unsigned* length, unsigned unit) {
    *length = soundLength;
    return record("FMOD_Sound_GetLength", name(sound), unit);
}

FmodResult FakeFmod::soundRelease(FmodSound* sound) {
    return record("FMOD_Sound_Release", name(sound));
}

FmodResult FakeFmod::channelStop(FmodChannel* channel) {
    return record("FMOD_Channel_Stop", name(channel));
}

FmodResult FakeFmod::channelIsPlaying(FmodChannel* channel, bool* isPlaying) {
    *isPlaying = playing;
    return record("FMOD_Channel_IsPlaying", name(channel));
}

FmodResult FakeFmod::channelSetVolume(FmodChannel* channel, float volume) {
    return record("FMOD_Channel_SetVolume", name(channel), volume);
}

FmodResult FakeFmod::channelSetPan(FmodChannel* channel, float pan) {
    return record("FMOD_Channel_SetPan", name(channel), pan);
}

FmodResult FakeFmod::channelSetFrequency(FmodChannel* channel, float value) {
    return record("FMOD_Channel_SetFrequency", name(channel), value);
}

FmodResult FakeFmod::channelGetFrequency(FmodChannel* channel, float* value) {
    *value = frequency;
    return record("FMOD_Channel_GetFrequency", name(channel));
}

FmodResult FakeFmod::channelSetMode(FmodChannel* channel, unsigned mode) {
    return record("FMOD_Channel_SetMode", name(channel), mode);
}

FmodResult FakeFmod::channelSetPaused(FmodChannel* channel, bool paused) {
    return record("FMOD_Channel_SetPaused", name(channel), paused);
}

FmodResult FakeFmod::channelSetPosition(FmodChannel* channel, unsigned value, unsigned unit) {
    return record("FMOD_Channel_SetPosition", name(channel), value, unit);
}

FmodResult FakeFmod::channelGetPosition(FmodChannel* channel, unsigned* value, unsigned unit) {
    *value = position;
    return record("FMOD_Channel_GetPosition", name(channel), unit);
}
