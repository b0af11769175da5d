#include "framework/ofSoundPlayer.h"

#include <algorithm>
#include <cmath>

#include "framework/ofMath.h"
#include "framework/ofUtils.h"

namespace {

constexpr int kMaxBands = 8192;

bool bFmodInitialized = false;
FmodSystem* sys = nullptr;
FmodChannelGroup* channelgroup = nullptr;
// Bumped by every close, so players can tell a sound of an earlier system.
unsigned fmodGeneration = 0;

float fftSpectrum[kMaxBands];
float fftValues[kMaxBands];
float fftInterpValues[kMaxBands];

unsigned loopMode(bool loop) {
    return loop ? kFmodLoopNormal : kFmodLoopOff;
}

}  // namespace

void ofSoundPlayer::initializeFmod() {
    if (bFmodInitialized)
        return;
    FmodSystem* created = nullptr;
    if (FMOD_System_Create(&created) != kFmodOk || !created)
        return;
    if (FMOD_System_Init(created, 32, 0, nullptr) != kFmodOk) {
        FMOD_System_Release(created);
        return;
    }
    sys = created;
    FMOD_System_GetMasterChannelGroup(sys, &channelgroup);
    bFmodInitialized = true;
}

void ofSoundPlayer::closeFmod() {
    if (!bFmodInitialized)
        return;
    FMOD_System_Close(sys);
    FMOD_System_Release(sys);
    sys = nullptr;
    channelgroup = nullptr;
    bFmodInitialized = false;
    ++fmodGeneration;
}

void ofSoundStopAll() {
    ofSoundPlayer::initializeFmod();
    FMOD_ChannelGroup_Stop(channelgroup);
}

void ofSoundSetVolume(float volume) {
    ofSoundPlayer::initializeFmod();
    FMOD_ChannelGroup_SetVolume(channelgroup, volume);
}

void ofSoundUpdate() {
    if (bFmodInitialized)
        FMOD_System_Update(sys);
}

float* ofSoundGetSpectrum(int nBands) {
    ofSoundPlayer::initializeFmod();
    std::fill(fftInterpValues, fftInterpValues + kMaxBands, 0.0f);

    if (nBands > kMaxBands) {
        ofLog(OF_LOG_ERROR,
              "error in ofSoundGetSpectrum, the maximum number of bands is 8192 - you asked for %i we will return 8192",
              nBands);
        nBands = kMaxBands;
    } else if (nBands <= 0) {
        ofLog(OF_LOG_ERROR, "error in ofSoundSpectrum, you've asked for %i bands, minimum is 1", nBands);
        return fftInterpValues;
    }

    int nBandsToGet = std::max(ofNextPow2(nBands), 64);
    FMOD_System_GetSpectrum(sys, fftSpectrum, nBandsToGet, 0, kFmodSpectrumWindow);

    for (int i = 0; i < nBandsToGet; ++i) {
        float level = static_cast<float>(std::log10(1.0f + fftSpectrum[i]));
        fftValues[i] = 2 * 10 * level;
    }

    if (nBandsToGet == nBands) {
        std::copy(fftValues, fftValues + nBands, fftInterpValues);
        return fftInterpValues;
    }

    // Spread the library's bins over the bands; a bin that straddles a band
    // edge is split between the two neighbours.
    float step = static_cast<float>(nBandsToGet) / static_cast<float>(nBands);
    int currentBand = 0;
    for (int i = 0; i < nBandsToGet; ++i) {
        float v = fftValues[i];
        float bandEnd = static_cast<float>(currentBand + 1) * step;
        if (static_cast<float>(i) >= bandEnd) {
            float fraction = bandEnd - static_cast<float>(i - 1);
            fftInterpValues[currentBand] += fraction * v;
            ++currentBand;
            if (currentBand >= nBands) {
                ofLog(OF_LOG_ERROR, "ofSoundGetSpectrum - currentBand >= nBands");
                currentBand = nBands - 1;
                continue;
            }
            fftInterpValues[currentBand] += (1 - fraction) * v;
        } else {
            fftInterpValues[currentBand] += v;
        }
    }
    for (int i = 0; i < nBands; ++i)
        fftInterpValues[i] = std::min(fftInterpValues[i] / step, 1.0f);
    return fftInterpValues;
}

ofSoundPlayer::ofSoundPlayer() = default;

ofSoundPlayer::~ofSoundPlayer() {
    unloadSound();
}

bool ofSoundPlayer::hasSound() const {
    return loaded && bFmodInitialized && systemGeneration == fmodGeneration;
}

bool ofSoundPlayer::isPlayingNow() {
    if (!hasSound())
        return false;
    bool playing = false;
    FMOD_Channel_IsPlaying(channel, &playing);
    return playing;
}

void ofSoundPlayer::loadSound(std::string fileName, bool stream) {
    fileName = ofToDataPath(fileName);
    multiPlay = false;
    initializeFmod();
    unloadSound();

    unsigned mode = stream ? (kFmodSoftware | kFmodCreateStream) : kFmodSoftware;
    lastResult = FMOD_System_CreateSound(sys, fileName.c_str(), mode, nullptr, &sound);
    if (lastResult != kFmodOk) {
        sound = nullptr;
        loaded = false;
        ofLog(OF_LOG_ERROR, "ofSoundPlayer: Could not load sound file %s", fileName.c_str());
        return;
    }
    loaded = true;
    systemGeneration = fmodGeneration;
    FMOD_Sound_GetLength(sound, &length, kFmodTimeUnitPcm);
    streamed = stream;
}

void ofSoundPlayer::unloadSound() {
    if (hasSound()) {
        FMOD_Channel_Stop(channel);
        // Streams hold an open file too, so they are released like any sound.
        FMOD_Sound_Release(sound);
    }
    loaded = false;
    sound = nullptr;
    channel = nullptr;
}

void ofSoundPlayer::play() {
    if (!hasSound())
        return;
    if (looping)
        FMOD_Channel_Stop(channel);
    if (!multiPlay)
        FMOD_Channel_Stop(channel);

    FMOD_System_PlaySound(sys, kFmodChannelFree, sound, paused, &channel);
    FMOD_Channel_GetFrequency(channel, &baseFrequency);
    FMOD_Channel_SetVolume(channel, volume);
    FMOD_Channel_SetPan(channel, pan);
    FMOD_Channel_SetFrequency(channel, baseFrequency * speed);
    FMOD_Channel_SetMode(channel, loopMode(looping));
    FMOD_System_Update(sys);
}

void ofSoundPlayer::stop() {
    if (hasSound())
        FMOD_Channel_Stop(channel);
}

void ofSoundPlayer::setVolume(float vol) {
    if (isPlayingNow())
        FMOD_Channel_SetVolume(channel, vol);
    volume = vol;
}

void ofSoundPlayer::setPan(float panValue) {
    if (isPlayingNow())
        FMOD_Channel_SetPan(channel, panValue);
    pan = panValue;
}

void ofSoundPlayer::setSpeed(float spd) {
    if (isPlayingNow())
        FMOD_Channel_SetFrequency(channel, spd * baseFrequency);
    speed = spd;
}

void ofSoundPlayer::setPaused(bool bP) {
    if (!isPlayingNow())
        return;
    FMOD_Channel_SetPaused(channel, bP);
    paused = bP;
}

void ofSoundPlayer::setLoop(bool bLp) {
    if (isPlayingNow())
        FMOD_Channel_SetMode(channel, loopMode(bLp));
    looping = bLp;
}

void ofSoundPlayer::setMultiPlay(bool bMp) {
    multiPlay = bMp;
}

void ofSoundPlayer::setPosition(float pct) {
    if (!isPlayingNow())
        return;
    // Outside 0..1 (or NaN) the conversion to unsigned would be undefined.
    if (!(pct > 0.0f))
        pct = 0.0f;
    pct = std::min(pct, 1.0f);
    auto sample = static_cast<unsigned>(static_cast<double>(length) * pct);
    FMOD_Channel_SetPosition(channel, sample, kFmodTimeUnitPcm);
}

float ofSoundPlayer::getPosition() {
    if (!isPlayingNow())
        return 0.0f;
    unsigned sample = 0;
    FMOD_Channel_GetPosition(channel, &sample, kFmodTimeUnitPcm);
    if (length == 0)
        return 0.0f;
    return static_cast<float>(sample) / static_cast<float>(length);
}

bool ofSoundPlayer::getIsPlaying() {
    return isPlayingNow();
}

float ofSoundPlayer::getSpeed() {
    return speed;
}

float ofSoundPlayer::getPan() {
    return pan;
}
