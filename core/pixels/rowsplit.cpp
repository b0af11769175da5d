// A small fixed pool. The caller publishes one job cut into chunks; every
// thread, the caller included, takes the next chunk until none is left.

#include "core/pixels/rowsplit.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace rowsplit {
namespace {

// More than a few threads would only compete for memory bandwidth.
constexpr int kMaxThreads = 4;
// Chunks per thread: small enough that a late or slow thread holds up little.
constexpr int kChunksPerThread = 8;

class Pool {
public:
    explicit Pool(int workers) {
        threads_.reserve(static_cast<size_t>(workers));
        for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
    }

    ~Pool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    int threads() const { return static_cast<int>(threads_.size()) + 1; }

    void run(int begin, int end, const std::function<void(int, int)>& job) {
        std::lock_guard<std::mutex> turn(callMutex_);
        const int chunks = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(end) - begin,
                                                              threads() * kChunksPerThread));
        if (threads_.empty() || chunks <= 1) {
            job(begin, end);
            return;
        }
        std::unique_lock<std::mutex> lock(mutex_);
        job_ = &job;
        begin_ = begin;
        end_ = end;
        chunks_ = chunks;
        next_ = 0;
        done_ = 0;
        lock.unlock();
        wake_.notify_all();
        lock.lock();
        takeChunks(lock);
        allDone_.wait(lock, [this] { return done_ == chunks_; });
        job_ = nullptr;
        chunks_ = 0;
        next_ = 0;
    }

private:
    // Runs chunks while any is left; `lock` holds mutex_ on entry and exit.
    void takeChunks(std::unique_lock<std::mutex>& lock) {
        while (next_ < chunks_) {
            const int c = next_++;
            const std::function<void(int, int)>* job = job_;
            const int from = chunkStart(c);
            const int to = chunkStart(c + 1);
            lock.unlock();
            (*job)(from, to);
            lock.lock();
            if (++done_ == chunks_) allDone_.notify_one();
        }
    }

    int chunkStart(int c) const {
        return begin_ + static_cast<int>((static_cast<int64_t>(end_) - begin_) * c / chunks_);
    }

    void work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || next_ < chunks_; });
            if (stop_) return;
            takeChunks(lock);
        }
    }

    std::vector<std::thread> threads_;
    std::mutex callMutex_;  // one job at a time
    std::mutex mutex_;      // everything below
    std::condition_variable wake_;
    std::condition_variable allDone_;
    const std::function<void(int, int)>* job_ = nullptr;
    int begin_ = 0;
    int end_ = 0;
    int chunks_ = 0;
    int next_ = 0;
    int done_ = 0;
    bool stop_ = false;
};

Pool& pool() {
    static Pool p(std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxThreads) - 1);
    return p;
}

}  // namespace

void forRows(int begin, int end, const std::function<void(int, int)>& job) {
    if (end <= begin) return;
    pool().run(begin, end, job);
}

int threads() { return pool().threads(); }

}  // namespace rowsplit
