#pragma once
// The seed of one world, and the name it was given out under.
#include <cstdint>
#include <string>

struct GameSeed {
    std::uint32_t seed = 0;
    // Names the seed at the competition that gave it out; empty without one.
    std::string ticket;
};
