#pragma once
// A few persistent worker threads that share one job with the calling
// thread: run(count, task) calls task(0) .. task(count - 1), each once, on
// the caller and the workers, and returns when all have returned. Threads
// are started once and sleep between jobs; nothing here spins. No GL, no wx.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool {
public:
    // `workers` threads besides the caller (0: run() does everything itself).
    explicit WorkerPool(int workers);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int workers() const { return static_cast<int>(threads_.size()); }

    // One job at a time: run() is called from one thread only.
    void run(int count, const std::function<void(int)>& task);

private:
    void work();
    // Takes and runs tasks of the current job until none is left.
    void drain(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    const std::function<void(int)>* task_ = nullptr;
    int count_ = 0;
    int next_ = 0;
    int finished_ = 0;
    uint64_t job_ = 0;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};
