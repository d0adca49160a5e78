#pragma once
// FrameClock: the game's fixed step of 40 ms. Frame n is due at startTime +
// 40 n ms on the millisecond clock, not 40 ms after the frame before it, and
// every frame is updated once; a frame is drawn only when its tick began
// before it was due, so a game that has fallen behind catches up without
// drawing. All times are compared as unsigned differences from startTime, so
// the clock's wrap-around does not matter. Nothing here reads a clock or
// waits: the caller says what time it is.
#include <cstdint>

class FrameClock {
public:
    static constexpr std::uint32_t msPerFrame = 40;

    // Frame 0 due at `now`, its tick begun then (so it is not drawn).
    explicit FrameClock(std::uint32_t now) { restart(now); }

    // The same for a new game.
    void restart(std::uint32_t now);
    // The frame numbered frameIndex due at `now`: time spent in a modal dialog
    // is not caught up.
    void reset(std::uint32_t now);

    // A tick counts as beginning this long after the main loop's pass reached
    // its frame: the game's ticks used to sleep 5 ms before reading the clock,
    // so a pass that reached its frame less than 5 ms before the due time drew
    // nothing. The waiting is the shell's now, without that sleep; the
    // reckoning stays, so that the same frames count as late.
    static constexpr std::uint32_t tickBeginsAfterMs = 5;

    // The pass reached the next frame at `now`: its tick begins, which decides
    // whether it is drawn.
    void beginTick(std::uint32_t now) { tickTime = now + tickBeginsAfterMs; }
    std::uint32_t dueTime() const { return startTime + msPerFrame * frameIndex; }
    bool isDue(std::uint32_t now) const { return !(msPerFrame * frameIndex > now - startTime); }
    // The late rule: strictly before the due time, so a tick that begins at it is late.
    bool tickWasOnTime() const { return msPerFrame * frameIndex > tickTime - startTime; }
    // On to the next frame.
    void advance() { frameIndex += 1; }

    // Clock time at which frame 0 was due.
    std::uint32_t startTime = 0;
    // Number of the next frame.
    std::uint32_t frameIndex = 0;
    // Clock time at which the current frame's tick began.
    std::uint32_t tickTime = 0;
};
