#include "shells/win32/frame_wait.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/timer.h"

TimerPeriod::TimerPeriod() { timeBeginPeriod(1); }

TimerPeriod::~TimerPeriod() { timeEndPeriod(1); }

void waitUntil(std::uint32_t dueTime) {
    auto left = [dueTime] { return static_cast<std::int32_t>(dueTime - platform::milliseconds()); };
    if (left() > 0) platform::sleepMilliseconds(static_cast<std::uint32_t>(left()));
    while (left() > 0) {
    }
}
