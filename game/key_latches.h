#pragma once
// KeyLatches: a pressed and a released flag per key, set by the window
// procedure from keyboard messages and cleared only by the keyboard
// controller's poll and clearKeys.
#include <cstdint>

struct KeyLatches {
    std::uint8_t firePressed = 0;
    std::uint8_t fireReleased = 0;
    std::uint8_t leftPressed = 0;
    std::uint8_t leftReleased = 0;
    std::uint8_t rightPressed = 0;
    std::uint8_t rightReleased = 0;
    std::uint8_t upPressed = 0;
    std::uint8_t upReleased = 0;
    std::uint8_t downPressed = 0;
    std::uint8_t downReleased = 0;
};

extern KeyLatches keyLatches;
