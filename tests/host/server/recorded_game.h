#pragma once
// A game played by zifra-sim on a seed and ticket of the service, as the
// shell records it: the replay's bytes, and the score the game showed when
// the replay ends (its game over, or the last frame), as the trace tells it.
#include <cstdint>
#include <string>
#include <vector>

struct RecordedGame {
    std::vector<std::uint8_t> replay;
    std::int32_t shownScore = 0;
};

// `keys`: a key script of tests/golden, or empty for nobody playing.
// Fails the test when zifra-sim does not finish.
RecordedGame recordGame(const std::string& keys, std::int64_t frames, std::uint32_t seed, const std::string& ticket);

// The key scripts of the recorded games and how long each runs.
struct GoldenGame {
    const char* keys;
    std::int64_t frames;
};
inline constexpr GoldenGame goldenGames[] = {{"", 3000}, {"play.keys", 2400}, {"over.keys", 1500}};
