#pragma once
// The player's figure at the bottom of the playfield. After every (re)start
// it blinks and is protected for 40 drawn frames.
#include <cstdint>

#include "gfx/sprite.h"

class Servobot : public Sprite {
public:
    Servobot();

    // Back into play: protected and blinking from the next drawn frame.
    void reset();
    // The blinking draw: counts drawn frames, and while protected shows the
    // figure on odd counts only.
    void draw(Image& screen);

    // Set together with hidden when an impulse, not a tile, hit the figure.
    bool killedByImpulse = false;
    std::int32_t blinkCounter = 0;
    // Tiles and impulses pass through while set ("protected" in the rules).
    bool isProtected = false;
};
