// One undo push of a large canvas against a plain copy of the same bytes: the
// push must cost little more than the copy it makes.
//
//   BM_UndoPush          into slots written before (the ring's second round)
//   BM_UndoPushFresh     into a slot allocated as the program allocates its
//                        ring and never written (the ring's first round)
//   BM_UndoPushWithBack  the same, storing the back layer too (two copies)
//   BM_MemcpyCanvas      a memcpy of the same bytes (baseline)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "canvas.h"
#include "undo.h"

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

// A ring as a new canvas gets it: buffer 0 holds the front layer, the rest
// were allocated and never written.
class FreshRing {
public:
    FreshRing() : buffers_(kUndoMax + 1, nullptr) {
        for (auto& b : buffers_) b = static_cast<unsigned char*>(std::malloc(kBytes));
    }
    ~FreshRing() {
        for (auto* b : buffers_) std::free(b);
    }
    FreshRing(const FreshRing&) = delete;
    FreshRing& operator=(const FreshRing&) = delete;

    undo::Ring ring() {
        return undo::Ring{buffers_.data(), kUndoMax, pos_, oldest_, redoEnd_, hasBack_, bcgR_, bcgG_, bcgB_, kBytes};
    }
    bool allocated() const {
        for (auto* b : buffers_)
            if (!b) return false;
        return true;
    }

private:
    std::vector<unsigned char*> buffers_;
    int pos_ = 0, oldest_ = 0, redoEnd_ = 2;
    int hasBack_[kUndoMax + 1] = {};
    int bcgR_[kUndoMax + 1] = {}, bcgG_[kUndoMax + 1] = {}, bcgB_[kUndoMax + 1] = {};
};

void pushFresh(benchmark::State& state, bool withBack) {
    std::vector<unsigned char> frontPx(kBytes, 7), backPx(kBytes, 9);
    canvas::PixelSpan front{frontPx.data(), kW, kH, kBpp};
    canvas::PixelSpan back{backPx.data(), kW, kH, kBpp};
    for (auto _ : state) {
        state.PauseTiming();
        auto fresh = std::make_unique<FreshRing>();
        if (!fresh->allocated()) {
            state.SkipWithError("no memory for the ring");
            break;
        }
        undo::Ring ring = fresh->ring();
        undo::resetRing(ring, front, palette::Rgb{0, 0, 0});
        state.ResumeTiming();
        undo::push(ring, front, back, withBack, palette::Rgb{0, 0, 0});
        benchmark::ClobberMemory();
        state.PauseTiming();
        fresh.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes) * (withBack ? 2 : 1));
}

void BM_UndoPushFresh(benchmark::State& state) { pushFresh(state, false); }
BENCHMARK(BM_UndoPushFresh)->Unit(benchmark::kMillisecond);

void BM_UndoPushWithBack(benchmark::State& state) { pushFresh(state, true); }
BENCHMARK(BM_UndoPushWithBack)->Unit(benchmark::kMillisecond);

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
