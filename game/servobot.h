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
    // Hit by a tile or by an impulse: hidden until the world's rules take
    // the life. An impulse's hit is remembered until the reset.
    void hit(bool byImpulse);
    // A frame is drawn: the protection runs out after the 40th.
    void countDrawnFrame();
    // The blinking draw: while protected, the figure shows on odd counts only.
    void draw(Image& screen);

    // Whether an impulse, not only a tile, hit the figure since the reset.
    bool killedByImpulse() const { return killedByImpulse_; }
    // Drawn frames since the reset.
    std::int32_t blinkCounter() const { return blinkCounter_; }
    // Tiles and impulses pass through while set ("protected" in the rules).
    bool isProtected() const { return isProtected_; }

private:
    bool killedByImpulse_ = false;
    std::int32_t blinkCounter_ = 0;
    bool isProtected_ = false;
};
