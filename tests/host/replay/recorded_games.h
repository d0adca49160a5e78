#pragma once
// The recorded games' key scripts played through the program as zifra-sim
// plays them (every frame on time unless told otherwise, dialogs ending
// unanswered), for the replay of the world that plays last.
#include <cstdint>
#include <string>

#include "app/program.h"
#include "game/replay.h"

struct RecordedGame {
    const char* name;
    std::uint32_t seed;
    std::int64_t frames;
    const char* keys;  // key script under tests/golden, or nullptr
};

// The three recorded games of tests/golden.
inline constexpr RecordedGame recordedGames[] = {
    {"idle", 1000, 3000, nullptr},
    {"play", 1000, 2400, "play.keys"},
    {"over", 2024, 1500, "over.keys"},
};

struct PlayedGame {
    Replay replay;
    std::int32_t score = 0;
    std::int32_t level = 0;
    bool gameOver = false;
};

// Plays `game`; with `lateEvery` above 0, every that many frames' pass
// reaches its frame late, so that frame is not drawn.
PlayedGame playRecordedGame(const RecordedGame& game, int lateEvery = 0);
