#pragma once
// The thread that closes competition periods at their end by itself: it
// looks when the server starts (a period that ended while it was down is
// closed then) and again every `interval`. Servers side by side may all
// look; the database lets one of them close each period.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "server/contest_service.h"

inline constexpr std::chrono::seconds periodLook{15};

class PeriodCloser {
public:
    PeriodCloser(ContestService& contest, std::chrono::milliseconds interval = periodLook);
    // Stops it after the close it is doing.
    ~PeriodCloser();
    PeriodCloser(const PeriodCloser&) = delete;
    PeriodCloser& operator=(const PeriodCloser&) = delete;

private:
    void work();

    ContestService& contest_;
    std::chrono::milliseconds interval_;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;
};
