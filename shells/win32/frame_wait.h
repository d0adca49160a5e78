#pragma once
// Waiting for the next frame without holding a processor core.
#include <cstdint>

// A system timer period of 1 ms while it lives, so that a sleep ends within
// about a millisecond of its time instead of the default 15.6 ms tick.
class TimerPeriod {
public:
    TimerPeriod();
    ~TimerPeriod();

    TimerPeriod(const TimerPeriod&) = delete;
    TimerPeriod& operator=(const TimerPeriod&) = delete;
};

// Returns once the millisecond clock has reached `dueTime`: sleeps for the
// whole milliseconds left, and spins only over what an early wake-up leaves.
void waitUntil(std::uint32_t dueTime);
