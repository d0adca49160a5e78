#pragma once
// One line of zifra-sim's trace: the state of the game after a tick, as a
// JSON object.
#include <cstdint>
#include <string>
#include <vector>

class World;

struct TickFacts {
    std::int64_t tick = 0;
    bool drawn = false;
    std::vector<int> cues;
    // The block's tiles are listed when this tick built a new formation.
    bool newFormation = false;
};

std::string traceLine(World& world, const TickFacts& facts);
