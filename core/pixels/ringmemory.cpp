#include "core/pixels/ringmemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace undo {
namespace {

const std::size_t kHugePage = std::size_t(2) << 20;

std::size_t pageSize() {
    static const std::size_t page = [] {
        const long p = ::sysconf(_SC_PAGESIZE);
        return p > 0 ? static_cast<std::size_t>(p) : std::size_t(4096);
    }();
    return page;
}

std::size_t roundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

void* mapAnonymous(std::size_t len) {
    void* p = ::mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

}  // namespace

unsigned char* mapBuffer(std::size_t bytes) {
    if (bytes == 0) return nullptr;
    const std::size_t page = pageSize();
    if (bytes > SIZE_MAX - 2 * kHugePage) return nullptr;
    const std::size_t len = roundUp(bytes, page);
    if (len < kHugePage) return static_cast<unsigned char*>(mapAnonymous(len));

    // Room to start on a 2 MB boundary; the ends beyond it go back at once.
    const std::size_t span = len + kHugePage;
    auto* raw = static_cast<unsigned char*>(mapAnonymous(span));
    if (!raw) return nullptr;
    const auto at = reinterpret_cast<std::uintptr_t>(raw);
    auto* aligned = reinterpret_cast<unsigned char*>(roundUp(at, kHugePage));
    const std::size_t head = static_cast<std::size_t>(aligned - raw);
    if (head) ::munmap(raw, head);
    const std::size_t tail = span - head - len;
    if (tail) ::munmap(aligned + len, tail);
    // Refused where huge pages are off: the buffer then works in small pages.
    ::madvise(aligned, len, MADV_HUGEPAGE);
    return aligned;
}

void unmapBuffer(unsigned char* buffer, std::size_t bytes) {
    if (buffer && bytes) ::munmap(buffer, roundUp(bytes, pageSize()));
}

RingPreparer::~RingPreparer() { settle(); }

void RingPreparer::attach(unsigned char** buffers, int count, std::size_t bytes) {
    detach();
    if (!buffers || count <= 0 || bytes == 0) return;
    buffers_ = buffers;
    count_ = count;
    bytes_ = bytes;
    states_.assign(static_cast<std::size_t>(count), State::Fresh);
    wanted_[0] = wanted_[1] = -1;
}

void RingPreparer::detach() {
    settle();
    buffers_ = nullptr;
    count_ = 0;
    bytes_ = 0;
    states_.clear();
}

bool RingPreparer::running() const { return worker_.joinable() && !done_.load(std::memory_order_acquire); }

RingPreparer::State RingPreparer::state(int index) const {
    return index >= 0 && index < count_ ? states_[static_cast<std::size_t>(index)] : State::Written;
}

void RingPreparer::join() {
    if (!worker_.joinable()) return;
    worker_.join();
    const int finished = finished_.load(std::memory_order_acquire);
    for (int i = 0; i < job_.count; ++i) {
        State& s = states_[static_cast<std::size_t>(job_.index[i])];
        if (s == State::Preparing) s = i < finished ? State::Prepared : State::Fresh;
    }
    job_ = Job();
}

void RingPreparer::settle() {
    stop_.store(true, std::memory_order_relaxed);
    join();
    stop_.store(false, std::memory_order_relaxed);
}

void RingPreparer::finish() { join(); }

bool RingPreparer::spareFor(int index) {
    for (int j = 0; j < count_; ++j) {
        if (j == index || states_[static_cast<std::size_t>(j)] != State::Prepared) continue;
        // A buffer prepared for the next push stays where that push needs it.
        if (j == wanted_[0] || j == wanted_[1]) continue;
        std::swap(buffers_[index], buffers_[j]);
        std::swap(states_[static_cast<std::size_t>(index)], states_[static_cast<std::size_t>(j)]);
        return true;
    }
    return false;
}

void RingPreparer::claim(int index) {
    if (index < 0 || index >= count_) return;
    State& s = states_[static_cast<std::size_t>(index)];
    if (s == State::Preparing) {
        // Done with it already: the worker may go on with the other buffer.
        bool finished = false;
        const int n = finished_.load(std::memory_order_acquire);
        for (int i = 0; i < n; ++i) finished = finished || job_.index[i] == index;
        if (!finished) settle();
    }
    if (s == State::Fresh) spareFor(index);
    s = State::Written;
}

void RingPreparer::prepare(int a, int b) {
    if (!buffers_ || running()) return;
    join();
    wanted_[0] = a;
    wanted_[1] = b;
    Job job;
    for (const int index : {a, b}) {
        if (index < 0 || index >= count_ || (job.count == 1 && job.index[0] == index)) continue;
        if (states_[static_cast<std::size_t>(index)] != State::Fresh) continue;
        if (spareFor(index)) continue;
        job.index[job.count] = index;
        job.buffer[job.count] = buffers_[index];
        ++job.count;
    }
    if (job.count == 0) return;
    job.bytes = bytes_;
    job.touchOnly = touchOnly_;
    for (int i = 0; i < job.count; ++i) states_[static_cast<std::size_t>(job.index[i])] = State::Preparing;
    job_ = job;
    finished_.store(0, std::memory_order_relaxed);
    done_.store(false, std::memory_order_relaxed);
    worker_ = std::thread([this, job] { work(job); });
}

void RingPreparer::work(const Job& job) {
    const std::size_t page = pageSize();
    const std::size_t len = roundUp(job.bytes, page);
    for (int i = 0; i < job.count; ++i) {
        unsigned char* buffer = job.buffer[i];
        for (std::size_t at = 0; at < len; at += kHugePage) {
            if (stop_.load(std::memory_order_relaxed)) {
                done_.store(true, std::memory_order_release);
                return;
            }
            const std::size_t n = len - at < kHugePage ? len - at : kHugePage;
            // Populating maps the pages in one call; the writes then make a
            // hypervisor back them as well, which populating alone may not.
            // The buffer was never written, so writing 0 changes nothing.
            if (!job.touchOnly) ::madvise(buffer + at, n, MADV_POPULATE_WRITE);
            volatile unsigned char* p = buffer + at;
            for (std::size_t off = 0; off < n; off += page) p[off] = 0;
        }
        finished_.store(i + 1, std::memory_order_release);
    }
    done_.store(true, std::memory_order_release);
}

}  // namespace undo
