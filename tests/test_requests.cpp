#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "core/FileNames.h"
#include "core/Requests.h"
#include "core/WyrleGlobals.h"

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
    // A handshake: a GUI-like thread raises, then waits for that raise's
    // action before the next one, while a render-like thread polls. Every
    // raise must be taken exactly once; a take that can clear a raise coming
    // in mid-take leaves the raiser waiting, and it gives up after 5 s.
    constexpr int kRaises = 5000;
    std::atomic<int> acted{0};
    std::atomic<bool> done{false};
    std::thread render([&] {
        while (!done.load())
            runsOf(f_setStrings, [&] { acted.fetch_add(1); });
    });
    int lost = 0;
    for (int i = 1; i <= kRaises && !lost; ++i) {
        requests::raise(f_setStrings);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (acted.load() < i && !lost) {
            if (std::chrono::steady_clock::now() > limit)
                lost = i;
            std::this_thread::yield();
        }
    }
    done.store(true);
    render.join();
    EXPECT_EQ(lost, 0) << "raise " << lost << " of " << kRaises << " was never taken";
    if (!lost) {
        EXPECT_EQ(acted.load(), kRaises);
    }
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
