#include "game/frame_clock.h"

void FrameClock::restart(std::uint32_t now) {
    tickTime = now;
    startTime = now;
    frameIndex = 0;
}

void FrameClock::reset(std::uint32_t now) { startTime = now - msPerFrame * frameIndex; }
