#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "Requests.h"
#include "WyrleGlobals.h"

namespace {

// One frame's take of a flag: clear first, then act.
int runsOf(std::atomic<bool>& flag, const std::function<void()>& action = [] {}) {
    int runs = 0;
    if (requests::take(flag)) {
        ++runs;
        action();
    }
    return runs;
}

class RequestProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        f_workState.store(0);
        f_setStrings.store(false);
        f_changeCollapse.store(0);
    }
};

}  // namespace

TEST_F(RequestProtocol, TwoRaisesBeforeAPollRunOnce) {
    requests::raise(f_setStrings);
    requests::raise(f_setStrings);
    EXPECT_EQ(runsOf(f_setStrings), 1);
    EXPECT_EQ(runsOf(f_setStrings), 0);
}

TEST_F(RequestProtocol, ARaiseDuringTheActionIsKeptForTheNextFrame) {
    requests::raise(f_setStrings);
    EXPECT_EQ(runsOf(f_setStrings, [] { requests::raise(f_setStrings); }), 1);
    EXPECT_EQ(runsOf(f_setStrings), 1);
    EXPECT_EQ(runsOf(f_setStrings), 0);
}

TEST_F(RequestProtocol, IntFlagsHandBackTheirValue) {
    requests::raise(f_changeCollapse, 2);
    EXPECT_EQ(requests::take(f_changeCollapse), 2);
    EXPECT_EQ(requests::take(f_changeCollapse), 0);
}

TEST_F(RequestProtocol, EngineWritesNeverEraseAPendingCode) {
    // A stroke runs; the GUI asks for a save meanwhile; the stroke ends.
    EXPECT_TRUE(requests::beginStroke());
    requests::request(kWorkSave);
    requests::endStroke();
    EXPECT_EQ(requests::workState(), kWorkSave);

    // A stroke that starts while a code is pending leaves it in place.
    requests::request(kWorkUndo);
    EXPECT_FALSE(requests::beginStroke());
    EXPECT_EQ(requests::workState(), kWorkUndo);

    // Taking a code leaves the slot idle before the action; the same code
    // written again during the action waits for the next frame.
    requests::request(kWorkLoad);
    requests::request(kWorkNewArtwork);
    EXPECT_FALSE(requests::takeCode(kWorkLoad));
    EXPECT_TRUE(requests::takeCode(kWorkNewArtwork));
    EXPECT_EQ(requests::workState(), kWorkIdle);
    requests::request(kWorkSave);
    ASSERT_TRUE(requests::takeCode(kWorkSave));
    requests::request(kWorkSave);
    EXPECT_TRUE(requests::takeCode(kWorkSave));
    EXPECT_FALSE(requests::takeCode(kWorkSave));

    // The end of set-up keeps a request raised while set-up ran.
    f_workState.store(kWorkSetup);
    requests::request(kWorkClearFront);
    requests::moveWorkState(kWorkSetup, kWorkIdle);
    EXPECT_EQ(requests::workState(), kWorkClearFront);
}

TEST_F(RequestProtocol, NoRaiseIsLostBetweenTwoThreads) {
    // A GUI-like thread raises a flag many times while a render-like thread
    // polls: after the raiser stops, one more poll sees the last raise, so
    // the final state always reaches the engine.
    std::atomic<bool> stop{false};
    std::atomic<int> raised{0};
    std::thread gui([&] {
        for (int i = 0; i < 20000; ++i) {
            requests::raise(f_setStrings);
            raised.fetch_add(1);
        }
        stop.store(true);
    });
    int taken = 0;
    while (!stop.load())
        taken += runsOf(f_setStrings);
    gui.join();
    taken += runsOf(f_setStrings);
    EXPECT_GE(taken, 1);
    EXPECT_LE(taken, raised.load());
    EXPECT_FALSE(f_setStrings.load());
}

TEST_F(RequestProtocol, EveryCodeWrittenAfterTheLastWasTakenIsTakenOnce) {
    // The GUI writes a save, waits until the engine has begun it, and writes
    // the next one while that save still runs (Ctrl+S during a long save).
    // Every write must come through exactly once.
    constexpr int kWrites = 2000;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(20);
    std::atomic<int> written{0};
    std::atomic<int> started{0};
    std::atomic<bool> writerDone{false};
    std::thread gui([&] {
        for (int i = 1; i <= kWrites; ++i) {
            requests::request(kWorkSave);
            written.store(i);
            // A lost write is never begun; the give-up only keeps the test from hanging.
            while (started.load() < i && Clock::now() < giveUp)
                std::this_thread::yield();
            if (started.load() < i)
                break;
        }
        writerDone.store(true);
    });
    int taken = 0;
    while (!writerDone.load() || requests::workState() == kWorkSave) {
        if (!requests::takeCode(kWorkSave)) {
            std::this_thread::yield();
            continue;
        }
        ++taken;
        started.store(taken);
        // The action lasts until the next write has come (or the writer stopped).
        while (written.load() == taken && taken < kWrites && !writerDone.load() && Clock::now() < giveUp)
            std::this_thread::yield();
    }
    gui.join();
    EXPECT_EQ(taken, kWrites);
    EXPECT_EQ(requests::workState(), kWorkIdle);
}

TEST(SharedValues, MoveToIsReadWhole) {
    moveTo.set(-12, 345);
    int x = 0, y = 0;
    moveTo.get(x, y);
    EXPECT_EQ(x, -12);
    EXPECT_EQ(y, 345);
}

TEST(SharedValues, FileNamesAreCopiedAcrossThreads) {
    f_saveFile.set(wxString::FromUTF8("/tmp/Bild ä.png"));
    wxString got;
    std::thread t([&] { got = f_saveFile.get(); });
    t.join();
    EXPECT_EQ(got, wxString::FromUTF8("/tmp/Bild ä.png"));
    EXPECT_FALSE(f_saveFile.empty());
}

TEST(SharedValues, StartValues) {
    EXPECT_EQ(gBasePositionX.load(), 201);
    EXPECT_EQ(gBasePositionY.load(), 28);
    EXPECT_EQ(paletteBasicRadd.load(), 244);
    EXPECT_EQ(paletteBasicGadd.load(), 78);
    EXPECT_EQ(paletteBasicBadd.load(), 21);
    EXPECT_TRUE(f_findAutoBcgColor.load());
    EXPECT_FALSE(gLogging.load());
}
