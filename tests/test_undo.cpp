// The undo ring and the layer requests, driven as the engine's render step
// drives them: request sequences over small canvases, checked against the
// ring marks, both layers and the background colour.

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/pixels/undo.h"

namespace {

using palette::Rgb;

// The engine's ring members and canvas, owned by the test.
class Engine {
public:
    explicit Engine(int undoMax, int bpp = 3, int w = 4, int h = 3)
        : undoMax(undoMax), bpp(bpp), w(w), h(h), front(bytes()), back(bytes()) {
        for (int i = 0; i <= undoMax; ++i) store.emplace_back(bytes(), 0xEE);
        for (auto& b : store) pointers.push_back(b.data());
        canvas::fillLayer(frontSpan(), bg);
        canvas::fillLayer(backSpan(), bg);
        undo::Ring r = ring();
        undo::resetRing(r, frontSpan(), bg);
    }

    size_t bytes() const { return static_cast<size_t>(w) * h * bpp; }
    canvas::PixelSpan frontSpan() { return {front.data(), w, h, bpp}; }
    canvas::PixelSpan backSpan() { return {back.data(), w, h, bpp}; }
    undo::Ring ring() {
        return {pointers.data(), undoMax, undoPos, undoOldest, undoRedoEnd, hasBack, bcgR, bcgG, bcgB, bytes()};
    }

    undo::Effects request(int workState, int collapse = 0, bool clearBack = false, bool capture = false) {
        undo::Requests rq;
        rq.workState = workState;
        rq.collapse = collapse;
        rq.clearBack = clearBack;
        rq.capture = capture;
        rq.strokeState = strokeState;
        undo::Ring r = ring();
        undo::Flags flags{undoPending, backPending, canvasClear, regrabPending};
        return undo::runRequests(rq, r, frontSpan(), backSpan(), flags, bg);
    }

    // A stroke that paints the whole front layer with `value`, released in
    // this frame.
    void stroke(unsigned char value) {
        canvasClear = false;
        paint(front, value);
        undoPending = true;
        request(0);
    }

    static void paint(std::vector<unsigned char>& layer, unsigned char value) {
        std::memset(layer.data(), value, layer.size());
    }
    static bool all(const std::vector<unsigned char>& layer, unsigned char value) {
        for (unsigned char c : layer)
            if (c != value) return false;
        return true;
    }
    // Both layers hold one value each.
    bool holds(unsigned char frontValue, unsigned char backValue) const {
        return all(front, frontValue) && all(back, backValue);
    }

    int undoMax, bpp, w, h;
    std::vector<std::vector<unsigned char>> store;
    std::vector<unsigned char*> pointers;
    std::vector<unsigned char> front, back;
    int undoPos = -1, undoOldest = -1, undoRedoEnd = -1;
    int hasBack[202] = {}, bcgR[202] = {}, bcgG[202] = {}, bcgB[202] = {};
    int backPending = 0;
    bool undoPending = false, canvasClear = false, regrabPending = false;
    int strokeState = 0;
    Rgb bg{0, 0, 0};
};

// Runs requests in turn, each with the value the front layer must hold after it.
void expectSteps(Engine& e, std::initializer_list<std::pair<int, unsigned char>> steps) {
    int n = 0;
    for (const auto& step : steps) {
        e.request(step.first);
        EXPECT_TRUE(Engine::all(e.front, step.second))
            << "after request " << n << " (" << step.first << "): front " << int(e.front[0]) << ", want "
            << int(step.second);
        ++n;
    }
}

TEST(UndoRing, StepsWrapAtTheEndOfTheRing) {
    EXPECT_EQ(undo::stepOn(0, 3), 2);
    EXPECT_EQ(undo::stepOn(2, 3), 0);
    EXPECT_EQ(undo::stepBack(0, 3), 2);
    EXPECT_EQ(undo::stepOn(198, 201), 200);
    EXPECT_EQ(undo::stepOn(200, 201), 0);
    EXPECT_EQ(undo::stepBack(0, 201), 200);
}

TEST(UndoRing, SetUpHoldsTheFirstStateAndRefusesUndoAndRedo) {
    Engine e(7);
    EXPECT_EQ(e.undoPos, 0);
    EXPECT_EQ(e.undoOldest, 0);
    EXPECT_EQ(e.undoRedoEnd, 2);
    EXPECT_TRUE(Engine::all(e.store[0], 0));
    for (int i = 0; i <= 7; ++i) EXPECT_EQ(e.hasBack[i], -1);
    Engine::paint(e.front, 9);  // painting not yet stored
    undo::Effects fx = e.request(7);
    EXPECT_TRUE(fx.finishWorkState);
    EXPECT_TRUE(fx.recompose);  // the display is still refreshed
    EXPECT_FALSE(fx.backgroundChanged);
    EXPECT_TRUE(Engine::all(e.front, 9));
    e.request(8);
    EXPECT_EQ(e.undoPos, 0);
}

TEST(UndoRing, SmallestRingHoldsTwoStates) {
    Engine e(3);
    e.stroke(10);
    expectSteps(e, {{7, 0}, {7, 0}, {8, 10}, {8, 10}});  // nothing older, nothing newer
    e.stroke(20);                                       // the first state is overwritten
    expectSteps(e, {{7, 10}, {7, 10}});
}

TEST(UndoRing, FullRingKeepsTheNewestStatesAcrossTheWrap) {
    Engine e(7);  // four positions: three undo steps
    for (unsigned char v = 1; v <= 6; ++v) e.stroke(v);
    EXPECT_EQ(e.undoPos, 4);  // 6 pushes from 0 wrapped: 2 4 6 0 2 4
    expectSteps(e, {{7, 5}, {7, 4}, {7, 3}, {7, 3}, {8, 4}, {8, 5}, {8, 6}, {8, 6}});
}

TEST(UndoRing, StrokeAfterUndoDropsTheRedoStates) {
    Engine e(9);
    e.stroke(1);
    e.stroke(2);
    e.stroke(3);
    expectSteps(e, {{7, 2}, {7, 1}});
    e.stroke(7);
    expectSteps(e, {{8, 7}, {7, 1}, {8, 7}});  // nothing to redo at first
}

TEST(UndoRing, PushWaitsForTheStrokeToEnd) {
    Engine e(7);
    e.strokeState = 2;
    Engine::paint(e.front, 5);
    e.undoPending = true;
    EXPECT_FALSE(e.request(0).pushed);
    EXPECT_EQ(e.undoPos, 0);
    e.strokeState = 0;
    EXPECT_TRUE(e.request(0).pushed);
    EXPECT_EQ(e.undoPos, 2);
    EXPECT_FALSE(e.undoPending);
}

TEST(UndoRing, ClearTwiceIsOneStepAndClearStrokeClearIsThree) {
    Engine e(201);
    e.stroke(50);
    const int start = e.undoPos;
    e.request(4);
    e.request(4);  // already clear: only the display
    EXPECT_EQ(e.undoPos, undo::stepOn(start, 201));
    EXPECT_TRUE(e.regrabPending);

    e.stroke(60);
    expectSteps(e, {{4, 0}, {7, 60}, {7, 0}, {7, 50}});
}

TEST(UndoRing, FillAndUndoRestoreTheBackgroundColourOfEachState) {
    Engine e(9);
    e.stroke(40);
    e.bg = {200, 100, 50};  // the tool window's new background colour
    e.request(41);
    EXPECT_TRUE(e.canvasClear);
    EXPECT_FALSE(e.regrabPending);
    EXPECT_EQ(e.front[0], 200);
    EXPECT_EQ(e.front[1], 100);

    undo::Effects fx = e.request(7);
    EXPECT_TRUE(fx.backgroundChanged);
    EXPECT_EQ(e.bg.r, 0);
    EXPECT_TRUE(Engine::all(e.front, 40));
    EXPECT_FALSE(e.canvasClear);
    e.request(8);
    EXPECT_EQ(e.bg.r, 200);
    EXPECT_EQ(e.bg.b, 50);
}

TEST(UndoRing, SwapThenUndoAndRedoRestoreBothLayers) {
    Engine e(9);
    Engine::paint(e.back, 30);
    e.stroke(70);
    e.request(0, 1);
    EXPECT_TRUE(e.holds(30, 70));
    EXPECT_EQ(e.backPending, 0);  // stored by the push
    e.request(7);
    EXPECT_TRUE(e.holds(70, 30));
    e.request(8);
    EXPECT_TRUE(e.holds(30, 70));
}

TEST(UndoRing, MergeAddsLightOnDarkAndUndoRestores) {
    Engine e(9);
    e.bg = {10, 10, 10};
    Engine::paint(e.back, 100);
    e.stroke(250);
    e.request(0, 2);
    EXPECT_TRUE(e.holds(10, 255));  // back: 100 + 250 - 10, clamped
    e.request(7);
    EXPECT_TRUE(e.holds(250, 100));
}

TEST(UndoRing, UndoPastAStateWithoutBackLayerKeepsTheBackLayer) {
    Engine e(9);
    e.request(0, 0, true);  // clear back: state 2 has a back layer
    Engine::paint(e.back, 77);  // not a request: the ring does not know it
    e.stroke(5);            // state 4 has none
    e.request(7);
    EXPECT_TRUE(e.holds(0, 77));
}

TEST(UndoRing, BackLayerChangesDuringAStrokeReachTheRing) {
    Engine e(9);
    Engine::paint(e.back, 30);
    e.strokeState = 2;
    Engine::paint(e.front, 90);
    e.request(0, 0, true);  // clear back while painting: at once
    EXPECT_TRUE(Engine::all(e.back, 0));
    e.request(0, 1);  // and a swap before the push
    EXPECT_EQ(e.undoPos, 0);
    e.strokeState = 0;
    e.undoPending = true;  // the release
    EXPECT_TRUE(e.request(0).pushed);
    e.request(7);
    EXPECT_TRUE(e.holds(0, 30));  // the back layer from before both changes
}

TEST(UndoRing, UndoDuringAStrokeDropsTheUnstoredBackChange) {
    Engine e(9);
    Engine::paint(e.back, 30);
    e.stroke(1);
    e.strokeState = 2;
    e.request(0, 0, true);
    e.request(7);
    EXPECT_TRUE(Engine::all(e.back, 30));
    EXPECT_EQ(e.backPending, 0);
    EXPECT_TRUE(Engine::all(e.front, 0));
}

TEST(UndoRing, DeleteAfterSwapClearsTheSwappedInPicture) {
    Engine e(9);
    Engine::paint(e.back, 30);
    e.request(4);
    EXPECT_TRUE(e.canvasClear);
    e.request(0, 1);
    EXPECT_FALSE(e.canvasClear);
    e.request(4);
    EXPECT_TRUE(Engine::all(e.front, 0));
}

TEST(UndoRing, CaptureDropsUndoAndLeavesLayerRequestsAlone) {
    Engine e(9);
    e.stroke(3);
    undo::Effects fx = e.request(7, 1, true, true);
    EXPECT_TRUE(fx.finishWorkState);
    EXPECT_FALSE(fx.recompose);
    EXPECT_TRUE(Engine::all(e.front, 3));
    EXPECT_EQ(e.backPending, 0);
    // Clear still acts, without a push until the capture ends.
    e.request(4, 0, false, true);
    EXPECT_TRUE(Engine::all(e.front, 0));
    EXPECT_TRUE(e.undoPending);
    EXPECT_EQ(e.undoPos, 2);
    // The end of the capture puts the stored front back.
    undo::Ring r = e.ring();
    undo::restoreCurrent(r, e.frontSpan());
    EXPECT_TRUE(Engine::all(e.front, 3));
}

TEST(UndoRing, RingSkipsAFrontLayerOfAnotherSize) {
    Engine e(7);
    std::vector<unsigned char> bigger(e.bytes() * 2, 9);
    undo::Ring r = e.ring();
    undo::push(r, {bigger.data(), e.w * 2, e.h, e.bpp}, e.backSpan(), false, e.bg);
    EXPECT_EQ(e.undoPos, 0);
    EXPECT_TRUE(Engine::all(e.store[2], 0xEE));
}

struct LayerCase {
    int mode, frontBpp, backBpp;
    unsigned char front[4], back[4];
    unsigned char wantFront[4], wantBack[4];
};

TEST(CollapseLayers, SwapAndMergeOverEveryDepthPair) {
    const Rgb bg{20, 20, 20};
    const LayerCase cases[] = {
        {1, 4, 4, {1, 2, 3, 4}, {5, 6, 7, 8}, {5, 6, 7, 8}, {1, 2, 3, 4}},
        {1, 4, 3, {1, 2, 3, 4}, {5, 6, 7}, {5, 6, 7, 0}, {1, 2, 3}},
        {1, 3, 4, {1, 2, 3}, {5, 6, 7, 8}, {5, 6, 7}, {1, 2, 3, 0}},
        {2, 4, 4, {120, 10, 30, 200}, {200, 15, 40, 100}, {20, 20, 20, 0}, {255, 5, 50, 255}},
        {2, 3, 4, {120, 10, 30}, {200, 15, 40, 100}, {20, 20, 20}, {255, 5, 50, 100}},
        {2, 4, 3, {120, 10, 30, 200}, {200, 15, 40}, {20, 20, 20, 0}, {255, 5, 50}},
    };
    for (const LayerCase& c : cases) {
        unsigned char f[4], b[4];
        std::memcpy(f, c.front, 4);
        std::memcpy(b, c.back, 4);
        undo::collapseLayers(c.mode, {f, 1, 1, c.frontBpp}, {b, 1, 1, c.backBpp}, bg);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " bpp " << c.frontBpp << "/" << c.backBpp);
        EXPECT_EQ(0, std::memcmp(f, c.wantFront, c.frontBpp));
        EXPECT_EQ(0, std::memcmp(b, c.wantBack, c.backBpp));
    }
}

TEST(CollapseLayers, LayersOfDifferentSizesAreLeftAlone) {
    unsigned char f[8] = {1, 1, 1, 1, 1, 1, 1, 1}, b[4] = {2, 2, 2, 2};
    undo::collapseLayers(1, {f, 2, 1, 4}, {b, 1, 1, 4}, Rgb{0, 0, 0});
    EXPECT_EQ(f[0], 1);
    EXPECT_EQ(b[0], 2);
}

}  // namespace
