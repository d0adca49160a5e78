#pragma once
// The game's pseudo-random generator: the classic 15-bit linear congruential
// generator, our own copy so that every build plays the same game for the
// same seed, and the two ways the game draws from it. Each world owns one, so
// worlds on different threads never share a state.
#include <cstdint>

class GameRandom {
public:
    explicit GameRandom(std::uint32_t seed) : state_(seed) {}

    // The next value, 0 to 32767 inclusive.
    int rand();

    // A random choice among n items: r * n / 32767 truncated; n itself, which
    // r = 32767 gives, counts as n - 1.
    int index(int n);

    // A random digit 0 to 9: r * (10 / 32767) truncated; 10 counts as 9.
    int digit();

    // The whole state: the next values follow from it alone.
    std::uint32_t state() const { return state_; }

private:
    std::uint32_t state_;
};
