#include "server/worker_pool.h"

WorkerPool::WorkerPool(std::size_t threads, std::size_t queueLength) : queueLength_(queueLength) {
    for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

bool WorkerPool::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (tasks_.size() >= queueLength_) return false;
        tasks_.push_back(std::move(task));
    }
    ready_.notify_one();
    return true;
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}
