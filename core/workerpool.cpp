#include "workerpool.h"

WorkerPool::WorkerPool(int workers) {
    for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void WorkerPool::run(int count, const std::function<void(int)>& task) {
    if (count <= 0) return;
    std::unique_lock<std::mutex> lock(mutex_);
    task_ = &task;
    count_ = count;
    next_ = 0;
    finished_ = 0;
    ++job_;
    if (count > 1 && !threads_.empty()) wake_.notify_all();
    drain(lock);
    done_.wait(lock, [this] { return finished_ == count_; });
    task_ = nullptr;
}

void WorkerPool::drain(std::unique_lock<std::mutex>& lock) {
    while (next_ < count_) {
        const int i = next_++;
        const std::function<void(int)>& task = *task_;
        lock.unlock();
        task(i);
        lock.lock();
        if (++finished_ == count_) done_.notify_one();
    }
}

void WorkerPool::work() {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || job_ != seen; });
        if (stop_) return;
        seen = job_;
        drain(lock);
    }
}
