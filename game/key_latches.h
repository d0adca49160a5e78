#pragma once
// KeyLatches: a pressed and a released flag per key, set from the player's key
// events and cleared only by the keyboard controller's poll and clearKeys.
// A pressed latch stays set from the key going down until the first poll
// that sees its released latch.
struct KeyLatches {
    bool firePressed = false;
    bool fireReleased = false;
    bool leftPressed = false;
    bool leftReleased = false;
    bool rightPressed = false;
    bool rightReleased = false;
    bool upPressed = false;
    bool upReleased = false;
    bool downPressed = false;
    bool downReleased = false;
};
