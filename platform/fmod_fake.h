#pragma once
// A sound backend for tests: records every call that reaches it as text,
// e.g. "FMOD_Channel_SetVolume(ch1, 0.3)", and answers with scripted values.
// Constructing one installs it; destroying it brings back the backend that
// was installed before.

#include <deque>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/fmod_shim.h"

class FakeFmod final : public FmodBackend {
public:
    FakeFmod();
    ~FakeFmod() override;
    FakeFmod(const FakeFmod&) = delete;
    FakeFmod& operator=(const FakeFmod&) = delete;

    // Scripted answers.
    FmodResult createSoundResult = kFmodOk;
    unsigned soundLength = 44100;
    bool playing = true;
    float frequency = 44100.0f;
    unsigned position = 0;
    std::vector<float> spectrum;  // shorter than asked: the rest is 0

    std::vector<std::string> calls;

    // Calls whose text starts with prefix.
    int count(const std::string& prefix) const;
    void clear() { calls.clear(); }

    FmodResult systemCreate(FmodSystem** system) override;
    FmodResult systemInit(FmodSystem* system, int maxChannels, unsigned flags, void* driverData) override;
    FmodResult systemGetMasterChannelGroup(FmodSystem* system, FmodChannelGroup** group) override;
    FmodResult systemClose(FmodSystem* system) override;
    FmodResult systemRelease(FmodSystem* system) override;
    FmodResult systemUpdate(FmodSystem* system) override;
    FmodResult systemGetSpectrum(FmodSystem* system, float* values, int count, int channelOffset, int window) override;
    FmodResult systemCreateSound(FmodSystem* system, const char* name, unsigned mode, void* info, FmodSound** sound) override;
    FmodResult systemPlaySound(FmodSystem* system, int channelId, FmodSound* sound, bool paused, FmodChannel** channel) override;
    FmodResult channelGroupStop(FmodChannelGroup* group) override;
    FmodResult channelGroupSetVolume(FmodChannelGroup* group, float volume) override;
    FmodResult soundGetLength(FmodSound* sound, unsigned* length, unsigned unit) override;
    FmodResult soundRelease(FmodSound* sound) override;
    FmodResult channelStop(FmodChannel* channel) override;
    FmodResult channelIsPlaying(FmodChannel* channel, bool* playing) override;
    FmodResult channelSetVolume(FmodChannel* channel, float volume) override;
    FmodResult channelSetPan(FmodChannel* channel, float pan) override;
    FmodResult channelSetFrequency(FmodChannel* channel, float frequency) override;
    FmodResult channelGetFrequency(FmodChannel* channel, float* frequency) override;
    FmodResult channelSetMode(FmodChannel* channel, unsigned mode) override;
    FmodResult channelSetPaused(FmodChannel* channel, bool paused) override;
    FmodResult channelSetPosition(FmodChannel* channel, unsigned position, unsigned unit) override;
    FmodResult channelGetPosition(FmodChannel* channel, unsigned* position, unsigned unit) override;

private:
    // A new distinct handle named prefix + running number.
    void* make(const std::string& prefix, int& counter);
    std::string name(const void* handle) const;

    template <typename... Args>
    FmodResult record(const char* function, const Args&... args) {
        std::ostringstream out;
        out << std::boolalpha << function << '(';
        const char* separator = "";
        ((out << separator << args, separator = ", "), ...);
        out << ')';
        calls.push_back(out.str());
        return kFmodOk;
    }

    FmodBackend* previous;
    std::deque<char> tokens;  // addresses stay put as it grows
    std::map<const void*, std::string> names;
    int systems = 0, groups = 0, sounds = 0, channels = 0;
};
