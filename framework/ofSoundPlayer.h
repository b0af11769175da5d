#pragma once
// Sound playback: one sound per player on its own channel, plus the
// process-wide master volume, stop-all, spectrum and periodic update.
// Meant for the render thread; closeFmod also runs from the exit handler.

#include <string>

#include "platform/fmod_shim.h"

void ofSoundStopAll();
void ofSoundSetVolume(float volume);
void ofSoundUpdate();
// nBands values (1 to 8192); the buffer is overwritten by the next call.
float* ofSoundGetSpectrum(int nBands);

class ofSoundPlayer {
public:
    ofSoundPlayer();
    virtual ~ofSoundPlayer();
    // A player owns its sound: copies would release it twice.
    ofSoundPlayer(const ofSoundPlayer&) = delete;
    ofSoundPlayer& operator=(const ofSoundPlayer&) = delete;

    void loadSound(std::string fileName, bool stream = false);
    void unloadSound();
    void play();
    void stop();

    void setVolume(float vol);
    void setPan(float panValue);
    void setSpeed(float spd);
    void setPaused(bool bP);
    void setLoop(bool bLp);
    void setMultiPlay(bool bMp);
    void setPosition(float pct);  // 0 to 1 of the length

    float getPosition();
    bool getIsPlaying();
    float getSpeed();
    float getPan();

    static void initializeFmod();
    static void closeFmod();

    bool streamed = false;
    bool multiPlay = false;
    bool looping = false;
    bool loaded = false;
    bool paused = false;
    float pan = 0.5f;
    float volume = 1.0f;
    float baseFrequency = 44100.0f;
    float speed = 1.0f;
    unsigned int length = 0;
    int lastResult = 0;
    FmodChannel* channel = nullptr;
    FmodSound* sound = nullptr;

private:
    // A sound loaded under a sound system that has since been closed is gone
    // with it, so it must be neither used nor released.
    bool hasSound() const;
    bool isPlayingNow();

    unsigned systemGeneration = 0;
};
