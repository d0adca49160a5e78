#pragma once
// Calendar time, for seeding the random generator and the speed count.
#include <cstdint>

namespace platform {

// Seconds of the calendar clock (the C library's time()).
std::int64_t calendarSeconds();

}  // namespace platform
