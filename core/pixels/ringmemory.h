#pragma once
// Memory for the undo ring. No GL, no wx, no globals.
//
// The ring is sized from the free memory (gigabytes on a large machine) yet
// must cost nothing until it is used, so each buffer is its own anonymous
// mapping: no page is resident before it is written. The first write of a
// page costs a page fault (and, under a hypervisor, often a host fault too),
// which for a whole canvas copied at a stroke's release adds up to more than
// the copy itself. Two things keep that off the release:
//   - buffers of 2 MB or more start on a 2 MB boundary and ask for huge
//     pages, so one fault maps 2 MB where the kernel allows it;
//   - RingPreparer faults in, on a worker thread, the buffers the next push
//     will write (at most one position ahead: its front and back buffer),
//     and only buffers never written, so no stored state is ever touched.
//
// The preparer works on the engine's table of buffer pointers. Buffers that
// were never written hold no state, so before a fresh buffer is written it
// may be traded (pointer for pointer) for a prepared one that no position
// needs now: a prepared back buffer the last push did not use serves the
// next one that does.
//
// Threads: every member function runs on the thread that owns the ring (the
// render thread). The worker touches only the buffers of its job; the owner
// writes a buffer of a running job only after claim(), which waits for that
// buffer, and frees buffers only after detach() or settle().

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace undo {

// An anonymous mapping of `bytes`, zero-filled and not resident until
// written; null when it cannot be had (or `bytes` is 0).
unsigned char* mapBuffer(std::size_t bytes);
// Releases a buffer of mapBuffer with the same byte count. Null is ignored.
void unmapBuffer(unsigned char* buffer, std::size_t bytes);

class RingPreparer {
public:
    enum class State : unsigned char {
        Fresh,      // never written, not prepared
        Preparing,  // in the running job
        Prepared,   // never written, faulted in
        Written,    // holds (or held) a state: never prepared or traded
    };

    RingPreparer() = default;
    ~RingPreparer();
    RingPreparer(const RingPreparer&) = delete;
    RingPreparer& operator=(const RingPreparer&) = delete;

    // Takes over a table of `count` buffers of `bytes` each, none written yet.
    void attach(unsigned char** buffers, int count, std::size_t bytes);
    // Stops the worker and forgets the table (before the buffers are freed).
    void detach();

    // Before buffer `index` is written: waits for its preparation if the
    // worker still has it; a fresh buffer is first traded for a prepared
    // spare when there is one. From then on the buffer counts as written.
    void claim(int index);

    // Starts preparing the fresh ones of buffers `a` and `b` (in that order)
    // in the background, after trading in prepared spares (prepared buffers
    // other than these two). Does nothing while a preparation runs. Indices
    // outside the table are ignored.
    void prepare(int a, int b);

    // Stops a running preparation after its current chunk and waits for it.
    void settle();
    // Waits until a running preparation has finished (tests, benchmarks).
    void finish();

    bool running() const;
    State state(int index) const;

    // Forces the fallback that only writes one byte a page, as where the
    // kernel cannot populate a range (tests).
    void setTouchOnly(bool touchOnly) { touchOnly_ = touchOnly; }

private:
    struct Job {
        unsigned char* buffer[2] = {nullptr, nullptr};
        int index[2] = {-1, -1};
        int count = 0;
        std::size_t bytes = 0;
        bool touchOnly = false;
    };

    void join();
    bool spareFor(int index);
    void work(const Job& job);

    unsigned char** buffers_ = nullptr;
    int count_ = 0;
    std::size_t bytes_ = 0;
    std::vector<State> states_;
    int wanted_[2] = {-1, -1};  // the buffers the last prepare() was for
    bool touchOnly_ = false;

    std::thread worker_;
    Job job_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::atomic<int> finished_{0};  // buffers of the job completely prepared
};

}  // namespace undo
