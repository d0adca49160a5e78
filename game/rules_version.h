#pragma once
// The version of the game's rules. A replay is proven only by the rules it was
// played under: raise this with every change that can alter a game played
// from the same seed and keys (the golden replays' results tell).
#include <cstdint>

inline constexpr std::uint16_t rulesVersion = 1;
