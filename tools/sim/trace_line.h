#pragma once
// One line of zifra-sim's trace: the state of the game after a tick, as a
// JSON object with the keys tick, score, lives, level, speed, gameOver,
// servobot {x, hidden, protected}, signal {hidden, x, y}, block {ox, oy, vx,
// count}, diving (null or {x, y, digit}), star and square {active, x, y},
// vaktor (the four hitsLeft), codes (code store, newest first), cues, drawn,
// and tiles ([x, y, digit] of the block in list order) when the tick built a
// new formation. Flags are 0 or 1.
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
