// One undo push of a large canvas against a plain copy of the same bytes: the
// push must cost little more than the copy it makes.
#include <benchmark/benchmark.h>

#include <cstring>
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
