#include "game/random.h"

namespace {

// The scaling the game's rules are made with: one double-precision constant
// each, applied to the raw value.
constexpr double reciprocalOfMax = 1.0 / 32767.0;
constexpr double digitScale = 10.0 / 32767.0;

}  // namespace

int GameRandom::rand() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

int GameRandom::index(int n) {
    int chosen = static_cast<int>(static_cast<double>(rand()) * n * reciprocalOfMax);
    return chosen == n ? n - 1 : chosen;
}

int GameRandom::digit() {
    int chosen = static_cast<int>(static_cast<double>(rand()) * digitScale);
    return chosen == 10 ? 9 : chosen;
}
