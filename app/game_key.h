#pragma once
// The player's keys as the program knows them, whatever device or platform
// they come from: each shell turns its own key codes into these.

enum class GameKey {
    left,
    right,
    up,
    down,
    fire,
    newGame,
};

// One key going down or coming up.
struct KeyEvent {
    GameKey key;
    bool down;
};
