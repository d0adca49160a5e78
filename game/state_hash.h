#pragma once
// A 32-bit hash of everything a world's next frames depend on: the
// generator's state, the counters of speed, lives, levels and renewals, the
// score and code store, and every figure's, tile's and impulse's position
// and state. Two worlds with the same hash play on alike.
#include <cstdint>

class World;

std::uint32_t stateHash(const World& world);
