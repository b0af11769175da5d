// One undo push of a large canvas (4000 x 3000 with alpha, 48 MB) against a
// plain copy of the same bytes: the push must cost little more than the
// copy it makes.
//
//   BM_UndoPush                     into buffers written before (the ring's
//                                   second round: no page faults)
//   BM_UndoPushFresh                the push at a stroke's release in the
//                                   ring's first round: buffers mapped as the
//                                   program maps its ring and never written,
//                                   after the program's background
//                                   preparation, started at the stroke's
//                                   start, had finished (a stroke lasts
//                                   longer than the preparation)
//   BM_UndoPushWithBack             the same push storing the back layer too
//                                   (two copies; per copied byte)
//   BM_UndoPushFreshUnprepared      the release-time push with no preparation
//                                   at all: every page faults during the push
//   BM_UndoPushWithBackUnprepared   the same with the back layer
//   BM_MemcpyCanvas                 a memcpy of the same bytes into memory
//                                   written before (baseline)
//
// Each timed push goes into a ring set up anew (untimed): the buffers come
// from the program's own allocation path, buffer 0 holds the front layer as
// after a canvas set-up, and the ring is released again after the push.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/pixels/canvas.h"
#include "core/pixels/ringmemory.h"
#include "core/pixels/undo.h"

namespace {

constexpr int kW = 4000;
constexpr int kH = 3000;
constexpr int kBpp = 4;
constexpr size_t kBytes = size_t(kW) * kH * kBpp;
constexpr int kUndoMax = 5;

struct UndoFixture {
    std::vector<std::vector<unsigned char>> storage;
    std::vector<unsigned char*> buffers;
    std::vector<unsigned char> front, back;
    int pos = 0, oldest = 0, redoEnd = 2;
    int hasBack[kUndoMax + 1] = {};
    int bcgR[kUndoMax + 1] = {}, bcgG[kUndoMax + 1] = {}, bcgB[kUndoMax + 1] = {};

    UndoFixture() : storage(kUndoMax + 1, std::vector<unsigned char>(kBytes, 1)), front(kBytes, 7), back(kBytes, 9) {
        for (auto& b : storage)
            buffers.push_back(b.data());
    }
    undo::Ring ring() {
        return undo::Ring{buffers.data(), kUndoMax, pos, oldest, redoEnd, hasBack, bcgR, bcgG, bcgB, kBytes};
    }
};

void BM_UndoPush(benchmark::State& state) {
    UndoFixture fx;
    undo::Ring ring = fx.ring();
    canvas::PixelSpan front{fx.front.data(), kW, kH, kBpp};
    canvas::PixelSpan back{fx.back.data(), kW, kH, kBpp};
    for (auto _ : state) {
        undo::push(ring, front, back, false, palette::Rgb{0, 0, 0});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_UndoPush)->Unit(benchmark::kMillisecond);

// A ring as a new canvas gets it, through the program's allocation path and
// with its preparer: buffer 0 holds the front layer, the rest were never
// written.
class FreshRing {
public:
    explicit FreshRing(canvas::PixelSpan front) {
        for (auto& b : buffers_) b = undo::mapBuffer(kBytes);
        preparer_.attach(buffers_, kUndoMax + 1, kBytes);
        if (allocated()) {
            undo::Ring r = ring();
            undo::resetRing(r, front, palette::Rgb{0, 0, 0});
        }
    }
    ~FreshRing() {
        preparer_.detach();
        for (auto* b : buffers_) undo::unmapBuffer(b, kBytes);
    }
    FreshRing(const FreshRing&) = delete;
    FreshRing& operator=(const FreshRing&) = delete;

    undo::Ring ring() {
        return undo::Ring{buffers_, kUndoMax, pos_, oldest_, redoEnd_, hasBack_, bcgR_, bcgG_, bcgB_, kBytes, &preparer_};
    }
    bool allocated() const {
        for (auto* b : buffers_)
            if (!b) return false;
        return true;
    }
    // What the engine's render step does every frame while a stroke runs,
    // then the rest of the stroke: the preparation ends before the release.
    void strokeRuns(canvas::PixelSpan front, canvas::PixelSpan back) {
        undo::Ring r = ring();
        undo::Requests rq;
        rq.strokeState = 2;
        bool undoPending = false, canvasClear = false, regrabPending = false;
        int backPending = 0;
        undo::Flags flags{undoPending, backPending, canvasClear, regrabPending};
        palette::Rgb bg{0, 0, 0};
        undo::runRequests(rq, r, front, back, flags, bg);
        preparer_.finish();
    }

private:
    unsigned char* buffers_[kUndoMax + 1] = {};
    undo::RingPreparer preparer_;
    int pos_ = 0, oldest_ = 0, redoEnd_ = 2;
    int hasBack_[kUndoMax + 1] = {};
    int bcgR_[kUndoMax + 1] = {}, bcgG_[kUndoMax + 1] = {}, bcgB_[kUndoMax + 1] = {};
};

void pushFresh(benchmark::State& state, bool withBack, bool prepared) {
    std::vector<unsigned char> frontPx(kBytes, 7), backPx(kBytes, 9);
    canvas::PixelSpan front{frontPx.data(), kW, kH, kBpp};
    canvas::PixelSpan back{backPx.data(), kW, kH, kBpp};
    for (auto _ : state) {
        state.PauseTiming();
        {
            FreshRing fresh(front);
            if (!fresh.allocated()) {
                state.SkipWithError("no memory for the ring");
                break;
            }
            if (prepared) fresh.strokeRuns(front, back);
            undo::Ring ring = fresh.ring();
            state.ResumeTiming();
            undo::push(ring, front, back, withBack, palette::Rgb{0, 0, 0});
            benchmark::ClobberMemory();
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes) * (withBack ? 2 : 1));
}

void BM_UndoPushFresh(benchmark::State& state) { pushFresh(state, false, true); }
BENCHMARK(BM_UndoPushFresh)->Unit(benchmark::kMillisecond);

void BM_UndoPushWithBack(benchmark::State& state) { pushFresh(state, true, true); }
BENCHMARK(BM_UndoPushWithBack)->Unit(benchmark::kMillisecond);

void BM_UndoPushFreshUnprepared(benchmark::State& state) { pushFresh(state, false, false); }
BENCHMARK(BM_UndoPushFreshUnprepared)->Unit(benchmark::kMillisecond);

void BM_UndoPushWithBackUnprepared(benchmark::State& state) { pushFresh(state, true, false); }
BENCHMARK(BM_UndoPushWithBackUnprepared)->Unit(benchmark::kMillisecond);

void BM_MemcpyCanvas(benchmark::State& state) {
    UndoFixture fx;
    int slot = 0;
    for (auto _ : state) {
        slot = (slot + 2) % (kUndoMax + 1);
        std::memcpy(fx.buffers[slot], fx.front.data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_MemcpyCanvas)->Unit(benchmark::kMillisecond);

}  // namespace
