// The sound player and the global sound functions, against the recording
// fake backend.

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "framework/ofSoundPlayer.h"
#include "platform/fmod_fake.h"

using Calls = std::vector<std::string>;

namespace {

// A fresh recording backend, its system closed again at the end.
struct SoundSession {
    ~SoundSession() { ofSoundPlayer::closeFmod(); }
    FakeFmod fake;
};

// A player with "beep.wav" loaded and the calls so far forgotten.
void load(FakeFmod& fake, ofSoundPlayer& player, bool stream = false) {
    player.loadSound("beep.wav", stream);
    ASSERT_TRUE(player.loaded);
    fake.clear();
}

class SoundTest : public ::testing::Test {
protected:
    void load(ofSoundPlayer& player, bool stream = false) { ::load(fake, player, stream); }

    SoundSession session;
    FakeFmod& fake = session.fake;
};

const Calls kStart = {
    "FMOD_System_Create(sys1)",
    "FMOD_System_Init(sys1, 32, 0, null)",
    "FMOD_System_GetMasterChannelGroup(sys1, group1)",
};

}  // namespace

TEST_F(SoundTest, SystemStartsOnceClosesOnceAndRestartsFresh) {
    ofSoundPlayer::closeFmod();
    ofSoundUpdate();
    EXPECT_TRUE(fake.calls.empty()) << "closing or updating a system never started must do nothing";

    ofSoundPlayer::initializeFmod();
    ofSoundPlayer::initializeFmod();
    EXPECT_EQ(fake.calls, kStart);

    fake.clear();
    ofSoundUpdate();
    ofSoundPlayer::closeFmod();
    ofSoundPlayer::closeFmod();
    EXPECT_EQ(fake.calls, (Calls{"FMOD_System_Update(sys1)", "FMOD_System_Close(sys1)", "FMOD_System_Release(sys1)"}));

    // The master-group functions start a new system when needed.
    fake.clear();
    ofSoundStopAll();
    ofSoundSetVolume(0.5f);
    EXPECT_EQ(fake.calls, (Calls{"FMOD_System_Create(sys2)", "FMOD_System_Init(sys2, 32, 0, null)",
                                 "FMOD_System_GetMasterChannelGroup(sys2, group2)", "FMOD_ChannelGroup_Stop(group2)",
                                 "FMOD_ChannelGroup_SetVolume(group2, 0.5)"}));
}

TEST(SoundPlayer, LoadOpensTheDataFileWithTheModeOfItsKind) {
    struct Case {
        bool stream;
        const char* create;
    };
    for (const Case& c : {Case{false, "FMOD_System_CreateSound(sys1, data/beep.wav, 64, null)"},
                          Case{true, "FMOD_System_CreateSound(sys1, data/beep.wav, 192, null)"}}) {
        SCOPED_TRACE(c.stream);
        SoundSession session;
        FakeFmod& fake = session.fake;
        fake.soundLength = 1234;
        ofSoundPlayer player;
        player.setMultiPlay(true);
        player.loadSound("beep.wav", c.stream);

        Calls expected = kStart;
        expected.push_back(c.create);
        expected.push_back("FMOD_Sound_GetLength(sound1, 2)");
        EXPECT_EQ(fake.calls, expected);
        EXPECT_TRUE(player.loaded);
        EXPECT_EQ(player.streamed, c.stream);
        EXPECT_EQ(player.length, 1234u);
        EXPECT_FALSE(player.multiPlay) << "every load resets multi-play";
    }
}

TEST_F(SoundTest, FailedLoadIsLoggedAndLeavesAnIdlePlayer) {
    fake.createSoundResult = kFmodErrCannotLoad;
    ofSoundPlayer player;
    testing::internal::CaptureStdout();
    player.loadSound("missing.wav");
    std::string log = testing::internal::GetCapturedStdout();

    EXPECT_NE(log.find("ofSoundPlayer: Could not load sound file data/missing.wav"), std::string::npos) << log;
    EXPECT_FALSE(player.loaded);
    EXPECT_EQ(player.lastResult, kFmodErrCannotLoad);

    fake.clear();
    player.play();
    player.stop();
    player.setVolume(0.2f);
    player.setPaused(true);
    player.setPosition(0.5f);
    EXPECT_FALSE(player.getIsPlaying());
    EXPECT_EQ(player.getPosition(), 0.0f);
    player.unloadSound();
    EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
    EXPECT_FLOAT_EQ(player.volume, 0.2f);
    EXPECT_FALSE(player.paused);
}

TEST(SoundSilentBackend, NoSoundCanBeLoaded) {
    ofSoundPlayer player;
    testing::internal::CaptureStdout();
    player.loadSound("beep.wav");
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(player.loaded);
    EXPECT_EQ(player.lastResult, kFmodErrCannotLoad);
    EXPECT_NE(log.find("Could not load sound file"), std::string::npos);
    player.play();
    EXPECT_FALSE(player.getIsPlaying());

    float* bands = ofSoundGetSpectrum(16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bands[i], 0.0f);
    ofSoundPlayer::closeFmod();
}

TEST_F(SoundTest, SettingsStoredBeforeLoadAreAppliedAtPlay) {
    ofSoundPlayer player;
    player.setVolume(0.3f);
    player.setPan(0.25f);
    player.setSpeed(2.0f);
    player.setLoop(true);
    player.setPaused(true);  // nothing plays: ignored
    EXPECT_FALSE(player.paused);
    EXPECT_TRUE(fake.calls.empty());

    load(player);
    fake.frequency = 22050.0f;
    player.play();
    EXPECT_EQ(fake.calls, (Calls{
                              "FMOD_System_PlaySound(sys1, -1, sound1, false, ch1)",
                              "FMOD_Channel_GetFrequency(ch1)",
                              "FMOD_Channel_SetVolume(ch1, 0.3)",
                              "FMOD_Channel_SetPan(ch1, 0.25)",
                              "FMOD_Channel_SetFrequency(ch1, 44100)",
                              "FMOD_Channel_SetMode(ch1, 2)",
                              "FMOD_System_Update(sys1)",
                          }));
    EXPECT_FLOAT_EQ(player.baseFrequency, 22050.0f);
    EXPECT_FLOAT_EQ(player.getSpeed(), 2.0f);
    EXPECT_FLOAT_EQ(player.getPan(), 0.25f);
}

TEST(SoundPlayer, ReplayStopsThePreviousChannelUnlessMultiPlay) {
    struct Case {
        bool multiPlay;
        bool loop;
        int stops;
    };
    for (const Case& c : {Case{false, false, 1}, Case{true, false, 0}, Case{true, true, 1}, Case{false, true, 2}}) {
        SCOPED_TRACE(::testing::Message() << "multiPlay " << c.multiPlay << " loop " << c.loop);
        SoundSession session;
        FakeFmod& fake = session.fake;
        ofSoundPlayer player;
        load(fake, player);
        player.setMultiPlay(c.multiPlay);
        player.setLoop(c.loop);
        player.play();
        fake.clear();
        player.play();
        EXPECT_EQ(fake.count("FMOD_Channel_Stop(ch1)"), c.stops);
        EXPECT_EQ(fake.count("FMOD_System_PlaySound(sys1, -1, sound1, false, ch2)"), 1);
        fake.clear();
        player.unloadSound();
        EXPECT_EQ(fake.calls, (Calls{"FMOD_Channel_Stop(ch2)", "FMOD_Sound_Release(sound1)"}));
    }
}

TEST(SoundPlayer, ChannelSettersReachOnlyAPlayingChannel) {
    for (bool playing : {true, false}) {
        SCOPED_TRACE(playing);
        SoundSession session;
        FakeFmod& fake = session.fake;
        ofSoundPlayer player;
        load(fake, player);
        fake.frequency = 48000.0f;
        player.play();
        fake.playing = playing;
        fake.clear();

        player.setVolume(0.75f);
        player.setPan(0.0f);
        player.setSpeed(0.5f);
        player.setLoop(false);
        player.setPaused(true);

        Calls sent;
        for (const std::string& call : fake.calls)
            if (call != "FMOD_Channel_IsPlaying(ch1)")
                sent.push_back(call);
        if (playing)
            EXPECT_EQ(sent, (Calls{"FMOD_Channel_SetVolume(ch1, 0.75)", "FMOD_Channel_SetPan(ch1, 0)",
                                   "FMOD_Channel_SetFrequency(ch1, 24000)", "FMOD_Channel_SetMode(ch1, 1)",
                                   "FMOD_Channel_SetPaused(ch1, true)"}));
        else
            EXPECT_TRUE(sent.empty()) << sent.front();
        EXPECT_FLOAT_EQ(player.volume, 0.75f);
        EXPECT_FLOAT_EQ(player.pan, 0.0f);
        EXPECT_FLOAT_EQ(player.speed, 0.5f);
        EXPECT_FALSE(player.looping);
        EXPECT_EQ(player.paused, playing) << "pause changes only while playing";
        EXPECT_EQ(player.getIsPlaying(), playing);

        // A pause taken while playing is passed to the next play.
        fake.playing = true;
        fake.clear();
        player.play();
        EXPECT_EQ(fake.count(std::string("FMOD_System_PlaySound(sys1, -1, sound1, ") + (playing ? "true" : "false")), 1);
    }
}

TEST_F(SoundTest, PositionIsAShareOfTheLength) {
    fake.soundLength = 1000;
    ofSoundPlayer player;
    EXPECT_EQ(player.getPosition(), 0.0f) << "idle";
    load(player);
    EXPECT_EQ(player.getPosition(), 0.0f) << "loaded, never played";
    player.play();
    fake.clear();

    struct Case {
        float pct;
        unsigned sample;
    };
    for (const Case& c : {Case{0.25f, 250}, Case{0.0f, 0}, Case{1.0f, 1000}, Case{-0.5f, 0}, Case{3.0f, 1000},
                          Case{std::nanf(""), 0}}) {
        SCOPED_TRACE(c.pct);
        fake.clear();
        player.setPosition(c.pct);
        EXPECT_EQ(fake.calls.back(), "FMOD_Channel_SetPosition(ch1, " + std::to_string(c.sample) + ", 2)");
    }

    fake.position = 500;
    EXPECT_FLOAT_EQ(player.getPosition(), 0.5f);
    EXPECT_EQ(fake.calls.back(), "FMOD_Channel_GetPosition(ch1, 2)");

    player.length = 0;
    EXPECT_EQ(player.getPosition(), 0.0f) << "no length, no share";

    fake.playing = false;
    fake.clear();
    player.setPosition(0.5f);
    EXPECT_EQ(player.getPosition(), 0.0f);
    EXPECT_EQ(fake.calls, (Calls{"FMOD_Channel_IsPlaying(ch1)", "FMOD_Channel_IsPlaying(ch1)"}));
}

TEST_F(SoundTest, StopTouchesOnlyALoadedSound) {
    ofSoundPlayer player;
    player.stop();
    EXPECT_TRUE(fake.calls.empty());

    load(player);
    player.play();
    fake.clear();
    player.stop();
    EXPECT_EQ(fake.calls, (Calls{"FMOD_Channel_Stop(ch1)"}));
}

TEST(SoundPlayer, EachSoundIsReleasedExactlyOnce) {
    for (bool stream : {false, true}) {
        SCOPED_TRACE(stream);
        SoundSession session;
        FakeFmod& fake = session.fake;
        {
            ofSoundPlayer player;
            load(fake, player, stream);
            player.play();
            fake.clear();
            player.unloadSound();
            EXPECT_EQ(fake.calls, (Calls{"FMOD_Channel_Stop(ch1)", "FMOD_Sound_Release(sound1)"}));
            EXPECT_FALSE(player.loaded);

            player.unloadSound();
            player.play();
            player.stop();
            EXPECT_EQ(fake.calls.size(), 2u) << "second unload, play and stop after it do nothing";
        }  // the destructor has nothing left to release
        EXPECT_EQ(fake.count("FMOD_Sound_Release"), 1);
    }

    // A reload releases the old sound once; the destructor the new one.
    SoundSession session;
    FakeFmod& fake = session.fake;
    {
        ofSoundPlayer player;
        player.loadSound("a.wav");
        player.loadSound("b.wav");
    }
    EXPECT_EQ(fake.count("FMOD_Sound_Release(sound1)"), 1);
    EXPECT_EQ(fake.count("FMOD_Sound_Release(sound2)"), 1);
    EXPECT_EQ(fake.count("FMOD_Sound_Release(?"), 0);
}

TEST_F(SoundTest, SoundsDieWithTheirSystem) {
    ofSoundPlayer player;
    load(player);
    player.play();
    ofSoundPlayer::closeFmod();
    fake.clear();

    player.play();
    player.stop();
    EXPECT_FALSE(player.getIsPlaying());
    player.unloadSound();
    EXPECT_TRUE(fake.calls.empty()) << "a closed system's sound is neither played nor released: " << fake.calls.front();

    // Loading again starts a new system.
    player.loadSound("beep.wav");
    EXPECT_TRUE(player.loaded);
    EXPECT_EQ(fake.count("FMOD_System_Create(sys2)"), 1);
}

namespace {

float level(float raw) {
    return 20.0f * static_cast<float>(std::log10(1.0f + raw));
}

std::string captureSpectrum(int nBands, float** out) {
    testing::internal::CaptureStdout();
    *out = ofSoundGetSpectrum(nBands);
    return testing::internal::GetCapturedStdout();
}

}  // namespace

TEST_F(SoundTest, SpectrumAsksForAPowerOfTwoOfAtLeast64) {
    struct Case {
        int bands;
        int asked;
    };
    for (const Case& c :
         {Case{1, 64}, Case{10, 64}, Case{64, 64}, Case{65, 128}, Case{100, 128}, Case{8192, 8192}, Case{10000, 8192}}) {
        SCOPED_TRACE(c.bands);
        fake.clear();
        float* bands = nullptr;
        captureSpectrum(c.bands, &bands);
        EXPECT_EQ(fake.calls.back(), "FMOD_System_GetSpectrum(sys1, " + std::to_string(c.asked) + ", 0, 3)");
    }
}

TEST_F(SoundTest, SpectrumBandCountsOutsideTheRangeAreLogged) {
    fake.spectrum.assign(8192, 1.0f);
    for (int bad : {0, -5}) {
        SCOPED_TRACE(bad);
        fake.clear();
        float* bands = nullptr;
        std::string log = captureSpectrum(bad, &bands);
        EXPECT_NE(log.find("error in ofSoundSpectrum, you've asked for " + std::to_string(bad) +
                           " bands, minimum is 1"),
                  std::string::npos)
            << log;
        EXPECT_EQ(fake.count("FMOD_System_GetSpectrum"), 0);
        for (int i = 0; i < 8192; ++i)
            ASSERT_EQ(bands[i], 0.0f) << i;
    }

    float* bands = nullptr;
    std::string log = captureSpectrum(10000, &bands);
    EXPECT_NE(log.find("error in ofSoundGetSpectrum, the maximum number of bands is 8192 - you asked for 10000 we "
                       "will return 8192"),
              std::string::npos)
        << log;
    for (int i = 0; i < 8192; ++i)
        ASSERT_FLOAT_EQ(bands[i], level(1.0f)) << i;
}

TEST_F(SoundTest, SpectrumOfAPowerOfTwoIsCopiedUnscaled) {
    for (int i = 0; i < 64; ++i)
        fake.spectrum.push_back(static_cast<float>(i));
    float* bands = ofSoundGetSpectrum(64);
    for (int i = 0; i < 64; ++i)
        EXPECT_FLOAT_EQ(bands[i], level(static_cast<float>(i))) << i;
    EXPECT_GT(bands[63], 1.0f) << "not limited to 1";
    EXPECT_EQ(bands[64], 0.0f);
}

TEST_F(SoundTest, SpectrumBandsShareStraddlingBinsAndKeepTheTotal) {
    // One loud bin: with 10 bands over 64 bins (step 6.4), bin 20 lies across
    // the edge at 19.2, 0.2 of it in band 2 and 0.8 in band 3.
    fake.spectrum.assign(64, 0.0f);
    fake.spectrum[20] = 0.5f;
    float v = level(0.5f);
    float* bands = ofSoundGetSpectrum(10);
    for (int i = 0; i < 10; ++i) {
        float expected = i == 2 ? 0.2f * v / 6.4f : i == 3 ? 0.8f * v / 6.4f : 0.0f;
        EXPECT_NEAR(bands[i], expected, 1e-5) << i;
    }

    // Quiet input: nothing is capped, so the bands times the step hold the
    // whole input; loud input is capped at 1.
    for (int nBands : {10, 100, 3000}) {
        SCOPED_TRACE(nBands);
        int asked = nBands == 10 ? 64 : nBands == 100 ? 128 : 4096;
        float step = static_cast<float>(asked) / static_cast<float>(nBands);
        fake.spectrum.clear();
        double total = 0;
        for (int i = 0; i < asked; ++i) {
            fake.spectrum.push_back(0.001f * static_cast<float>(i % 7));
            total += level(fake.spectrum.back());
        }
        bands = ofSoundGetSpectrum(nBands);
        double sum = std::accumulate(bands, bands + nBands, 0.0) * step;
        EXPECT_NEAR(sum, total, total * 1e-4);
        for (int i = nBands; i < 8192; ++i)
            ASSERT_EQ(bands[i], 0.0f) << "past the asked bands, from an earlier call: " << i;

        fake.spectrum.assign(static_cast<size_t>(asked), 100.0f);
        bands = ofSoundGetSpectrum(nBands);
        for (int i = 0; i < nBands; ++i)
            ASSERT_FLOAT_EQ(bands[i], 1.0f) << i;
    }
}
