// The undo ring's memory: buffers that are not resident until written, and
// the background preparation of the next push's buffers, which must never
// touch a stored state, never race with a push, and let go of the buffers
// before a new canvas frees them. Residency is read with mincore, so these
// tests check memory, never time.

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/pixels/ringmemory.h"
#include "core/pixels/undo.h"
#include "tests/engine_fixture.h"

namespace {

using palette::Rgb;
using State = undo::RingPreparer::State;

const std::size_t kPage = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));

// Resident pages of a buffer of `bytes`.
std::size_t residentPages(const unsigned char* p, std::size_t bytes) {
    const std::size_t pages = (bytes + kPage - 1) / kPage;
    std::vector<unsigned char> vec(pages);
    if (::mincore(const_cast<unsigned char*>(p), pages * kPage, vec.data()) != 0) return SIZE_MAX;
    std::size_t n = 0;
    for (unsigned char v : vec) n += v & 1;
    return n;
}

std::size_t pagesOf(std::size_t bytes) { return (bytes + kPage - 1) / kPage; }

// A ring as the engine keeps it: buffers from the engine's allocation path,
// a preparer over their table, and a canvas of w x h at 4 bytes a pixel.
class MappedRing {
public:
    MappedRing(int undoMax, int w, int h)
        : undoMax(undoMax), w(w), h(h), front(bytes(), 0), back(bytes(), 0), buffers(undoMax + 1) {
        for (auto& b : buffers) b = undo::mapBuffer(bytes());
        preparer.attach(buffers.data(), undoMax + 1, bytes());
        undo::Ring r = ring();
        undo::resetRing(r, frontSpan(), bg);
    }
    ~MappedRing() {
        preparer.detach();
        for (auto* b : buffers) undo::unmapBuffer(b, bytes());
    }
    MappedRing(const MappedRing&) = delete;
    MappedRing& operator=(const MappedRing&) = delete;

    std::size_t bytes() const { return static_cast<std::size_t>(w) * h * 4; }
    canvas::PixelSpan frontSpan() { return {front.data(), w, h, 4}; }
    canvas::PixelSpan backSpan() { return {back.data(), w, h, 4}; }
    undo::Ring ring() {
        return {buffers.data(), undoMax, undoPos, undoOldest, undoRedoEnd, hasBack, bcgR, bcgG, bcgB, bytes(), &preparer};
    }

    undo::Effects request(int workState, int collapse = 0) {
        undo::Requests rq;
        rq.workState = workState;
        rq.collapse = collapse;
        rq.strokeState = strokeState;
        undo::Ring r = ring();
        undo::Flags flags{undoPending, backPending, canvasClear, regrabPending};
        return undo::runRequests(rq, r, frontSpan(), backSpan(), flags, bg);
    }
    // A frame of a running stroke: the render step prepares its push.
    void strokeFrame() {
        strokeState = 2;
        request(0);
        strokeState = 0;
    }
    // A stroke that leaves the whole front layer at `value`, released now
    // or, with `prepared`, once the preparation it started has finished.
    void stroke(unsigned char value, bool prepared = false) {
        strokeFrame();
        if (prepared) preparer.finish();
        std::memset(front.data(), value, front.size());
        undoPending = true;
        request(0);
    }
    bool frontIs(unsigned char value) const { return all(front, value); }
    bool backIs(unsigned char value) const { return all(back, value); }
    static bool all(const std::vector<unsigned char>& v, unsigned char value) {
        for (unsigned char c : v)
            if (c != value) return false;
        return true;
    }
    bool resident(int index) { return residentPages(buffers[index], bytes()) == pagesOf(bytes()); }
    bool untouched(int index) { return residentPages(buffers[index], bytes()) == 0; }

    int undoMax, w, h;
    std::vector<unsigned char> front, back;
    std::vector<unsigned char*> buffers;
    undo::RingPreparer preparer;
    int undoPos = 0, undoOldest = 0, undoRedoEnd = 0;
    int hasBack[202] = {}, bcgR[202] = {}, bcgG[202] = {}, bcgB[202] = {};
    int backPending = 0;
    bool undoPending = false, canvasClear = false, regrabPending = false;
    int strokeState = 0;
    Rgb bg{0, 0, 0};
};

// Undo (7) and redo (8) requests in turn, each with the value the front
// layer must hold after it.
void expectFronts(MappedRing& r, std::initializer_list<std::pair<int, unsigned char>> steps) {
    int n = 0;
    for (const auto& step : steps) {
        r.request(step.first);
        EXPECT_TRUE(r.frontIs(step.second)) << "after request " << n << ": front " << int(r.front[0]) << ", want "
                                            << int(step.second);
        ++n;
    }
}

TEST(RingMemory, BuffersAreZeroAndNotResidentUntilWritten) {
    for (std::size_t bytes : {std::size_t(100000), std::size_t(24) << 20, (std::size_t(24) << 20) + 12345}) {
        SCOPED_TRACE(bytes);
        unsigned char* b = undo::mapBuffer(bytes);
        ASSERT_NE(b, nullptr);
        // Large buffers start where a huge page can.
        if (bytes >= (std::size_t(2) << 20)) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % (std::size_t(2) << 20), 0u);
        }
        EXPECT_EQ(residentPages(b, bytes), 0u);
        EXPECT_EQ(b[0], 0);
        EXPECT_EQ(b[bytes - 1], 0);
        b[bytes - 1] = 1;
        EXPECT_GE(residentPages(b, bytes), 1u);
        EXPECT_LT(residentPages(b, bytes), pagesOf(bytes));
        undo::unmapBuffer(b, bytes);
    }
    EXPECT_EQ(undo::mapBuffer(0), nullptr);
    // More than any address space: refused, for the caller's memory fallback.
    EXPECT_EQ(undo::mapBuffer(SIZE_MAX / 2), nullptr);
}

TEST(RingPreparer, AStrokePreparesOnlyTheBuffersOfItsPush) {
    for (bool touchOnly : {false, true}) {
        SCOPED_TRACE(touchOnly ? "writing a byte a page" : "populating");
        MappedRing r(7, 1000, 700);
        r.preparer.setTouchOnly(touchOnly);
        EXPECT_TRUE(r.resident(0));
        for (int i = 1; i <= 7; ++i) EXPECT_TRUE(r.untouched(i)) << "buffer " << i << " before any stroke";

        r.strokeFrame();
        r.preparer.finish();
        EXPECT_EQ(r.preparer.state(2), State::Prepared);
        EXPECT_EQ(r.preparer.state(3), State::Prepared);
        EXPECT_TRUE(r.resident(2));
        EXPECT_TRUE(r.resident(3));
        for (int i : {1, 4, 5, 6, 7}) EXPECT_TRUE(r.untouched(i)) << "buffer " << i << " after the stroke's start";
    }
}

TEST(RingPreparer, StoredStatesSurviveThePreparationsAcrossTheWrap) {
    // Three positions: the fourth push overwrites the oldest, and every stroke
    // start asks for the next buffers, written or not.
    MappedRing r(5, 300, 200);
    for (unsigned char v : {10, 20, 30, 40, 50}) {
        r.stroke(v);
        r.preparer.finish();
    }
    EXPECT_EQ(r.undoPos, 4);
    // Undo twice, then a stroke starts (and is dropped by a capture, say):
    // the buffers ahead hold the redo states and must stay as they are.
    expectFronts(r, {{7, 40}, {7, 30}});
    r.strokeFrame();
    r.preparer.finish();
    // The oldest state is gone: undo stops at 30.
    expectFronts(r, {{8, 40}, {8, 50}, {7, 40}, {7, 30}, {7, 30}});
    for (int i = 0; i <= 5; i += 2) EXPECT_EQ(r.preparer.state(i), State::Written);
}

TEST(RingPreparer, APushWhileThePreparationRunsStoresTheWholeState) {
    // Big buffers, so the push comes while the worker is still at them.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        MappedRing r(5, 4000, 2000);
        r.stroke(0x5A);
        r.stroke(0xA5);
        r.preparer.finish();
        expectFronts(r, {{7, 0x5A}, {8, 0xA5}, {7, 0x5A}, {7, 0}});
    }
}

TEST(RingPreparer, ABackLayerPushTakesThePreparedBufferTheLastPushLeft) {
    MappedRing r(7, 600, 400);
    std::memset(r.back.data(), 0x30, r.back.size());
    r.stroke(0x11, true);
    r.preparer.finish();
    // The stroke's push used buffer 2 but not the prepared back buffer 3,
    // which serves the next position (4 and 5): only one buffer more is
    // prepared.
    EXPECT_EQ(r.preparer.state(3), State::Fresh);
    EXPECT_TRUE(r.untouched(3));
    EXPECT_EQ(r.preparer.state(5), State::Prepared);
    EXPECT_TRUE(r.resident(5));
    EXPECT_EQ(r.preparer.state(4), State::Prepared);

    // A swap stores both layers, the back one in the prepared buffer 5.
    r.request(0, 1);
    EXPECT_TRUE(r.frontIs(0x30));
    EXPECT_TRUE(r.backIs(0x11));
    r.request(7);
    EXPECT_TRUE(r.frontIs(0x11));
    EXPECT_TRUE(r.backIs(0x30));
    r.request(8);
    EXPECT_TRUE(r.frontIs(0x30));
    EXPECT_TRUE(r.backIs(0x11));
    r.preparer.finish();
    // Written: buffers 0, 2, 3 (the back layer kept before the swap), 4 and
    // 5; prepared: the next position's 6 and 7. Buffer 1 was never needed.
    EXPECT_TRUE(r.untouched(1));
    for (int i = 2; i <= 7; ++i) EXPECT_TRUE(r.resident(i)) << "buffer " << i;
}

// The real engine: its ring set up from a large memory figure.
class EngineRing : public enginetest::EngineFixture<wyrleApp, enginetest::RecordingHost> {
protected:
    void newCanvas(int w, int h) {
        f_sx = w;
        f_sy = h;
        f_alphaBCG = 1;
        f_workState = kWorkNewArtwork;
        engine->update();
        ASSERT_TRUE(engine->canvasReady);
    }
    // A frame of a running stroke, as render runs the ring step.
    void strokeFrame() {
        undo::Ring ring = engine->undoRing();
        undo::Requests rq;
        rq.strokeState = 2;
        undo::Flags flags{engine->undoPending, engine->backPending, engine->canvasClear, engine->regrabPending};
        palette::Rgb bg{0, 0, 0};
        undo::runRequests(rq, ring, engine->frontSpan(), engine->backSpan(), flags, bg);
    }
    std::size_t ringResidentPages() {
        std::size_t n = 0;
        for (int k = 1; k < engine->undoBufferCount; ++k)
            n += residentPages(engine->undoBuffers[k], engine->undoFrameBytes);
        return n;
    }
};

long rssKb() {
    FILE* f = std::fopen("/proc/self/smaps_rollup", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "Rss: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

TEST_F(EngineRing, AFreshCanvasHoldsNoneOfItsRingResident) {
    enginetest::gMemory = 8192 * enginetest::MiB;
    engine->setup();
    const long before = rssKb();
    newCanvas(2000, 1500);
    const long after = rssKb();
    const std::size_t ringBytes = std::size_t(engine->undoBufferCount) * engine->undoFrameBytes;
    ASSERT_GT(engine->undoBufferCount, 150);
    EXPECT_EQ(ringResidentPages(), 0u);
    // The layers, the pixel map and buffer 0 are resident; the ring is not.
    ASSERT_GT(before, 0);
    EXPECT_LT(static_cast<std::size_t>(after - before) * 1024, ringBytes / 8)
        << "ring " << ringBytes / 1048576 << " MB, resident grew by " << (after - before) / 1024 << " MB";
}

TEST_F(EngineRing, ANewCanvasWhileThePreparationRunsLetsGoOfTheOldRing) {
    enginetest::gMemory = 2048 * enginetest::MiB;
    engine->setup();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        newCanvas(3000 - 500 * round, 2000);
        strokeFrame();
        EXPECT_TRUE(engine->ringPreparer.running() || engine->ringPreparer.state(2) == State::Prepared);
    }
    // The last ring works: a push and its undo.
    engine->ringPreparer.finish();
    EXPECT_EQ(engine->ringPreparer.state(2), State::Prepared);
    std::memset(engine->frontSpan().px, 0x77, engine->undoFrameBytes);
    engine->undoPending = true;
    undo::Ring ring = engine->undoRing();
    undo::Requests rq;
    undo::Flags flags{engine->undoPending, engine->backPending, engine->canvasClear, engine->regrabPending};
    palette::Rgb bg{0, 0, 0};
    EXPECT_TRUE(undo::runRequests(rq, ring, engine->frontSpan(), engine->backSpan(), flags, bg).pushed);
    EXPECT_EQ(engine->ringPreparer.state(2), State::Written);
    rq.workState = 7;
    undo::runRequests(rq, ring, engine->frontSpan(), engine->backSpan(), flags, bg);
    EXPECT_EQ(engine->frontSpan().px[0], 0);
    engine->exit();
}

TEST_F(EngineRing, AFailedRingIsReleasedAndTheDefaultCanvasGetsItsOwn) {
    enginetest::gMemory = 1024 * enginetest::MiB;
    engine->setup();
    strokeFrame();
    // A canvas whose ring cannot be held: the memory fallback builds the
    // default canvas, with a ring of its own that is not resident either.
    enginetest::gMemory = 16 * enginetest::MiB;
    f_sx = 4000;
    f_sy = 3000;
    f_alphaBCG = 1;
    f_workState = kWorkNewArtwork;
    engine->update();
    ASSERT_TRUE(engine->canvasReady);
    EXPECT_EQ(engine->canvasWidth, 800);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(engine->ringPreparer.running());
    EXPECT_EQ(ringResidentPages(), 0u);
    strokeFrame();
    engine->ringPreparer.finish();
    EXPECT_EQ(engine->ringPreparer.state(2), State::Prepared);
}

}  // namespace
