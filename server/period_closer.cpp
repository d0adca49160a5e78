#include "server/period_closer.h"

#include <cstdio>
#include <exception>

PeriodCloser::PeriodCloser(ContestService& contest, std::chrono::milliseconds interval)
    : contest_(contest), interval_(interval), thread_([this] { work(); }) {}

PeriodCloser::~PeriodCloser() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
}

void PeriodCloser::work() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        try {
            contest_.closeEndedPeriods();
        } catch (const std::exception& error) {
            // A database away now is tried again at the next look.
            std::fprintf(stderr, "zifra-server: closing ended periods: %s\n", error.what());
        }
        lock.lock();
        stop_.wait_for(lock, interval_, [this] { return stopping_; });
    }
}
