#pragma once
// A fixed number of threads taking tasks from a bounded queue: a flood of
// requests meets a full queue and a quick refusal, never a growing backlog.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerPool {
public:
    WorkerPool(std::size_t threads, std::size_t queueLength);
    // Finishes the queued tasks, then joins the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues the task; false, and the task dropped, when the queue is full.
    bool post(std::function<void()> task);

private:
    void work();

    std::size_t queueLength_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
