#pragma once
// The millisecond clock that paces the game, and sleeping.
#include <cstdint>

namespace platform {

// Milliseconds of the multimedia clock; wraps around, so compare differences.
std::uint32_t milliseconds();

// Gives up the processor for about `ms` milliseconds.
void sleepMilliseconds(std::uint32_t ms);

}  // namespace platform
