#pragma once
// A digit tile: one of the 28 x 28 tiles of the formation, carrying a digit.
// The signal's hit plays the digit's keypad tone and scores it in the code
// store; touching the Servobot costs the player a life.
#include <cstdint>

#include "game/game_rules.h"
#include "game/servobot.h"
#include "game/signal.h"
#include "gfx/sprite.h"

class DigitTile : public Sprite {
public:
    // A private copy of `source`'s pixels at (atX, atY) with the given hit box.
    DigitTile(const Image& source, int atX, int atY, int hitLeft, int hitTop, int hitRight, int hitBottom,
              std::int32_t tileDigit);

    // One frame's contacts, handed to `rules`. (offsetX, offsetY) carries the
    // tile's own coordinates to the screen: the formation's offsets for a
    // tile of the block, 0 and 0 for the diving tile.
    void update(Signal& signal, Servobot& servobot, int offsetX, int offsetY, GameRules& rules);

    // A frame is drawn: a blinking tile counts off the two it is not seen in.
    void countDrawnFrame();
    // Draws at (x + offsetX, y + offsetY), unless blinking.
    void draw(Image& screen, int offsetX, int offsetY);

    // An impulse leaves from the tile: it blinks.
    void startBlinking() { flashFlag_ = true; }

    std::int32_t digit() const { return digit_; }
    bool flashFlag() const { return flashFlag_; }
    // Drawn frames of the blink so far.
    std::int32_t flashCounter() const { return flashCounter_; }

private:
    std::int32_t flashCounter_ = 0;
    bool flashFlag_ = false;
    std::int32_t digit_ = 0;
};
