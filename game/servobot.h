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
    // A frame is drawn: the protection runs out after the 40th.
    void countDrawnFrame();
    // The blinking draw: while protected, the figure shows on odd counts only.
    void draw(Image& screen);

    // Set together with hidden when an impulse, not a tile, hit the figure.
    bool killedByImpulse = false;
    std::int32_t blinkCounter = 0;
    // Tiles and impulses pass through while set ("protected" in the rules).
    bool isProtected = false;
};
