#pragma once
// The proof of a replay: its game played again through the rules alone,
// from its seed and keys, with nothing drawn and no platform service called,
// so that any number of replays can be checked at once on as many threads.
#include <cstdint>
#include <string>

#include "game/replay.h"

struct ReplayVerdict {
    // False: `error` says why (e.g. "state hash differs at frame 500").
    bool proven = false;
    std::string error;
    std::int32_t score = 0, level = 0;
    std::uint32_t frames = 0;
    bool gameOver = false;
};

// A replay of another rules version than this build's is refused, as is one
// that goes on after its game ended or whose state hashes differ from the game's.
ReplayVerdict verifyReplay(const Replay& replay, const ReplayLimits& limits = {});
