// The movie-library helpers over our stand-in movie records.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ofQtUtils.h"

namespace {

class MovieTest : public ::testing::Test {
protected:
    void SetUp() override { qtLibrary() = QtLibrary{}; }
    void TearDown() override { closeQuicktime(); }
};

// A movie with an audio track, then one video track over `media`.
struct FakeMovie {
    explicit FakeMovie(int32_t samples = 250, int32_t duration = 6000, int32_t scale = 600) {
        media.sampleCount = samples;
        media.duration = duration;
        media.timeScale = scale;
        media.handler = &handler;

        TrackRecord audio;
        audio.characteristics = {qtFourCC("ears")};
        TrackRecord video;
        video.characteristics = {qtFourCC("vfrr"), qtFourCC("visu")};
        video.media = &media;
        movie.tracks = {audio, video};
    }
    FakeMovie(const FakeMovie&) = delete;  // holds pointers to itself
    TrackRecord& video() { return movie.tracks[1]; }

    ComponentInstanceRecord handler;
    MediaRecord media;
    MovieRecord movie;
};

std::string frameRateLog(MovieRecord* movie, double* fps, QtErr* result) {
    testing::internal::CaptureStdout();
    *result = MovieGetStaticFrameRate(movie, fps);
    return testing::internal::GetCapturedStdout();
}

const char* const kFrameRateError = "error in MediaGetStaticFrameRate, ofQtUtils";

}  // namespace

TEST_F(MovieTest, LibraryStartsAndStopsOnce) {
    closeQuicktime();
    EXPECT_EQ(qtLibrary().exitCalls + qtLibrary().terminateCalls, 0) << "closing a library never started";

    EXPECT_TRUE(initializeQuicktime());
    EXPECT_TRUE(initializeQuicktime());
    EXPECT_EQ(qtLibrary().initializeCalls, 1);
    EXPECT_EQ(qtLibrary().enterCalls, 1);

    closeQuicktime();
    closeQuicktime();
    EXPECT_EQ(qtLibrary().exitCalls, 1);
    EXPECT_EQ(qtLibrary().terminateCalls, 1);
}

TEST_F(MovieTest, FailedStartIsLoggedAndLeavesTheLibraryStopped) {
    struct Case {
        QtErr initialize;
        QtErr enter;
        int enterCalls;
        int terminateCalls;  // a half-made start is undone
    };
    for (const Case& c : {Case{-50, kQtNoErr, 0, 0}, Case{kQtNoErr, -108, 1, 1}}) {
        SCOPED_TRACE(c.initialize);
        qtLibrary() = QtLibrary{};
        qtLibrary().initializeResult = c.initialize;
        qtLibrary().enterResult = c.enter;

        testing::internal::CaptureStdout();
        EXPECT_FALSE(initializeQuicktime());
        std::string log = testing::internal::GetCapturedStdout();
        EXPECT_NE(log.find("-----------------------------------------------------"), std::string::npos) << log;
        EXPECT_NE(log.find("sorry, there is a problem with quicktime starting up... please check!"),
                  std::string::npos)
            << log;
        EXPECT_EQ(qtLibrary().enterCalls, c.enterCalls);
        EXPECT_EQ(qtLibrary().terminateCalls, c.terminateCalls);

        closeQuicktime();
        EXPECT_EQ(qtLibrary().exitCalls, 0) << "not started, so not stopped";

        // A later start may still succeed.
        qtLibrary().initializeResult = kQtNoErr;
        qtLibrary().enterResult = kQtNoErr;
        EXPECT_TRUE(initializeQuicktime());
        closeQuicktime();
        EXPECT_EQ(qtLibrary().exitCalls, 1);
    }
}

TEST(MoviePixels, ConvertDropsTheFirstByteOfEachPixel) {
    const unsigned char one[4] = {0xFF, 0x10, 0x20, 0x30};
    unsigned char out[4] = {0, 0, 0, 0xAA};
    convertPixels(one, out, 1, 1);
    EXPECT_EQ(std::vector<unsigned char>(out, out + 4), (std::vector<unsigned char>{0x10, 0x20, 0x30, 0xAA}));

    // Two rows of three pixels: rows are packed, 12 bytes in and 9 out.
    std::vector<unsigned char> src;
    std::vector<unsigned char> expected;
    for (unsigned char p = 0; p < 6; ++p) {
        src.insert(src.end(), {static_cast<unsigned char>(0xF0 + p), static_cast<unsigned char>(p * 3),
                               static_cast<unsigned char>(p * 3 + 1), static_cast<unsigned char>(p * 3 + 2)});
        expected.insert(expected.end(), {static_cast<unsigned char>(p * 3), static_cast<unsigned char>(p * 3 + 1),
                                         static_cast<unsigned char>(p * 3 + 2)});
    }
    std::vector<unsigned char> dst(expected.size() + 1, 0xAA);
    convertPixels(src.data(), dst.data(), 3, 2);
    expected.push_back(0xAA);
    EXPECT_EQ(dst, expected);

    std::vector<unsigned char> untouched(8, 0xAA);
    convertPixels(src.data(), untouched.data(), 0, 2);
    convertPixels(src.data(), untouched.data(), 2, -1);
    EXPECT_EQ(untouched, std::vector<unsigned char>(8, 0xAA));
}

TEST_F(MovieTest, UpdateFilterHandlesOnlyTheNamedWindowsUpdate) {
    struct Case {
        uint16_t kind;
        int32_t message;
        bool handled;
    };
    for (const Case& c : {Case{kQtUpdateEvent, 77, true}, Case{kQtUpdateEvent, 78, false}, Case{1, 77, false}}) {
        SCOPED_TRACE(::testing::Message() << c.kind << " " << c.message);
        qtLibrary().updateCalls.clear();
        EventRecord event;
        event.kind = c.kind;
        event.message = c.message;
        int16_t item = 0;
        EXPECT_EQ(SeqGrabberModalFilterUPP(nullptr, &event, &item, 77) != 0, c.handled);
        std::vector<std::string> expected;
        if (c.handled)
            expected = {"BeginUpdate(77)", "EndUpdate(77)"};
        EXPECT_EQ(qtLibrary().updateCalls, expected);
    }
    EXPECT_EQ(SeqGrabberModalFilterUPP(nullptr, nullptr, nullptr, 77), 0);
}

TEST_F(MovieTest, VideoMediaAndHandlerAreFoundStepByStep) {
    FakeMovie fake;
    MediaRecord* media = nullptr;
    ComponentInstanceRecord* handler = nullptr;
    MovieGetVideoMediaAndMediaHandler(&fake.movie, &media, &handler);
    EXPECT_EQ(media, &fake.media) << "the audio track before it is passed over";
    EXPECT_EQ(handler, &fake.handler);

    fake.media.handler = nullptr;
    MovieGetVideoMediaAndMediaHandler(&fake.movie, &media, &handler);
    EXPECT_EQ(media, &fake.media);
    EXPECT_EQ(handler, nullptr);

    fake.video().media = nullptr;
    MovieGetVideoMediaAndMediaHandler(&fake.movie, &media, &handler);
    EXPECT_EQ(media, nullptr);
    EXPECT_EQ(handler, nullptr);

    fake.video().media = &fake.media;
    fake.video().enabled = false;
    media = &fake.media;
    MovieGetVideoMediaAndMediaHandler(&fake.movie, &media, &handler);
    EXPECT_EQ(media, nullptr) << "a disabled video track does not count";

    MovieGetVideoMediaAndMediaHandler(nullptr, &media, &handler);
    EXPECT_EQ(media, nullptr);
    EXPECT_EQ(handler, nullptr);
}

TEST_F(MovieTest, FrameRateFromSampleCountTimesScaleOverDuration) {
    struct Case {
        const char* name;
        int32_t samples, duration, scale;
        QtErr countError, durationError, scaleError;
        double fps;
        bool failed;  // a non-zero result, logged
    };
    const Case cases[] = {
        {"25 fps", 250, 6000, 600, 0, 0, 0, 25.0, false},
        {"fractional", 1001, 1000, 30, 0, 0, 0, 30.03, false},
        {"no samples", 0, 6000, 600, 0, 0, 0, 0.0, false},
        {"zero duration", 250, 0, 600, 0, 0, 0, 0.0, true},
        {"negative duration", 250, -10, 600, 0, 0, 0, 0.0, true},
        {"zero time scale", 250, 6000, 0, 0, 0, 0, 0.0, true},
        {"count fails", 250, 6000, 600, -2010, 0, 0, 0.0, true},
        {"duration fails", 250, 6000, 600, 0, -2011, 0, 0.0, true},
        {"scale fails", 250, 6000, 600, 0, 0, -2012, 0.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMovie fake(c.samples, c.duration, c.scale);
        fake.media.sampleCountError = c.countError;
        fake.media.durationError = c.durationError;
        fake.media.timeScaleError = c.scaleError;

        double fps = 99;
        QtErr result = kQtNoErr;
        std::string log = frameRateLog(&fake.movie, &fps, &result);
        EXPECT_NEAR(fps, c.fps, 1e-9);
        EXPECT_EQ(result != kQtNoErr, c.failed);
        EXPECT_EQ(log.find(kFrameRateError) != std::string::npos, c.failed) << log;

        double mediaFps = 99;
        EXPECT_EQ(MediaGetStaticFrameRate(&fake.media, &mediaFps), result);
        EXPECT_EQ(mediaFps, fps);
    }
}

TEST_F(MovieTest, MpegFrameRateComesFromTheHandler) {
    FakeMovie fake(250, 6000, 600);  // the sample rate would give 25
    fake.handler.characteristics = {qtFourCC("mpeg")};
    fake.handler.publicInfo[qtFourCC("orat")] = 0x1D8000;  // 29.5 in 16.16

    unsigned char isMpeg = 0;
    EXPECT_EQ(IsMPEGMediaHandler(&fake.handler, &isMpeg), 0);
    EXPECT_TRUE(isMpeg);
    int32_t rate = 0;
    EXPECT_EQ(MPEGMediaGetStaticFrameRate(&fake.handler, &rate), 0);
    EXPECT_EQ(rate, 0x1D8000);

    double fps = 0;
    QtErr result = kQtNoErr;
    frameRateLog(&fake.movie, &fps, &result);
    EXPECT_EQ(result, kQtNoErr);
    EXPECT_DOUBLE_EQ(fps, 29.5);

    // Without the rate the lookup fails and leaves fps at 0.
    fake.handler.publicInfo.clear();
    rate = 5;
    EXPECT_NE(MPEGMediaGetStaticFrameRate(&fake.handler, &rate), 0);
    EXPECT_EQ(rate, 0);
    frameRateLog(&fake.movie, &fps, &result);
    EXPECT_NE(result, kQtNoErr);
    EXPECT_EQ(fps, 0.0);
}

TEST_F(MovieTest, FrameRateIsZeroWithoutAUsableVideoTrack) {
    FakeMovie fake;
    fake.handler.characteristicResult = -9;
    unsigned char isMpeg = 1;
    EXPECT_EQ(IsMPEGMediaHandler(&fake.handler, &isMpeg), -9) << "the 16-bit result keeps its sign";

    double fps = 99;
    QtErr result = kQtNoErr;
    frameRateLog(&fake.movie, &fps, &result);
    EXPECT_EQ(result, -9);
    EXPECT_EQ(fps, 0.0);

    FakeMovie noHandler;
    noHandler.media.handler = nullptr;
    FakeMovie noVideo;
    noVideo.movie.tracks.pop_back();
    for (MovieRecord* movie : {&noHandler.movie, &noVideo.movie, static_cast<MovieRecord*>(nullptr)}) {
        fps = 99;
        std::string log = frameRateLog(movie, &fps, &result);
        EXPECT_EQ(fps, 0.0);
        EXPECT_NE(result, kQtNoErr);
        EXPECT_EQ(log.find(kFrameRateError), std::string::npos) << "only a failed media lookup is logged";
    }
}
