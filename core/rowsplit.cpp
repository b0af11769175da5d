// A small fixed pool: the caller hands out one job at a time, numbered by a
// generation counter; each worker runs its slice of it and counts down.

#include "rowsplit.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace rowsplit {
namespace {

// More than a few threads would only compete for memory bandwidth.
constexpr int kMaxSlices = 4;

class Pool {
public:
    explicit Pool(int workers) {
        threads_.reserve(static_cast<size_t>(workers));
        for (int i = 0; i < workers; ++i) threads_.emplace_back([this, i] { work(i + 1); });
    }

    ~Pool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    int slices() const { return static_cast<int>(threads_.size()) + 1; }

    void run(int begin, int end, const std::function<void(int, int)>& job) {
        std::lock_guard<std::mutex> turn(callMutex_);
        const int count = std::min(slices(), end - begin);
        if (count <= 1) {
            job(begin, end);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job_ = &job;
            begin_ = begin;
            end_ = end;
            count_ = count;
            pending_ = count - 1;
            ++generation_;
        }
        wake_.notify_all();
        job(begin, sliceEnd(begin, end, count, 0));
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return pending_ == 0; });
        job_ = nullptr;
    }

private:
    static int sliceEnd(int begin, int end, int count, int index) {
        return begin + static_cast<int>(static_cast<int64_t>(end - begin) * (index + 1) / count);
    }

    void work(int index) {
        uint64_t seen = 0;
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
            if (index >= count_) continue;
            const std::function<void(int, int)>* job = job_;
            const int from = sliceEnd(begin_, end_, count_, index - 1);
            const int to = sliceEnd(begin_, end_, count_, index);
            lock.unlock();
            (*job)(from, to);
            lock.lock();
            if (--pending_ == 0) done_.notify_one();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex callMutex_;  // one job at a time
    std::mutex mutex_;      // everything below
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int, int)>* job_ = nullptr;
    int begin_ = 0;
    int end_ = 0;
    int count_ = 0;
    int pending_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;
};

Pool& pool() {
    static Pool p(std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxSlices) - 1);
    return p;
}

}  // namespace

void forRows(int begin, int end, const std::function<void(int, int)>& job) {
    if (end <= begin) return;
    pool().run(begin, end, job);
}

int slices() { return pool().slices(); }

}  // namespace rowsplit
