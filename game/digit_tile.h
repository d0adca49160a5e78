#pragma once
// A digit tile: one of the 28 x 28 tiles of the formation, carrying a digit.
// The signal's hit plays the digit's keypad tone and scores it in the code
// store; touching the Servobot costs the player a life.
#include <cstdint>

#include "game/code_store.h"
#include "game/cue_events.h"
#include "game/servobot.h"
#include "game/signal.h"
#include "gfx/sprite.h"

class DigitTile : public Sprite {
public:
    // A private copy of `source`'s pixels at (atX, atY) with the given hit box.
    DigitTile(const Image& source, int atX, int atY, int hitLeft, int hitTop, int hitRight, int hitBottom,
              std::int32_t tileDigit);

    // One frame's collisions. (offsetX, offsetY) carries the tile's own
    // coordinates to the screen: the formation's offsets for a tile of the
    // block, 0 and 0 for the diving tile.
    void update(Signal& signal, Servobot& servobot, int offsetX, int offsetY, CodeStore& codeStore, CueEvents& cues);

    // A frame is drawn: a blinking tile counts off the two it is not seen in.
    void countDrawnFrame();
    // Draws at (x + offsetX, y + offsetY), unless blinking.
    void draw(Image& screen, int offsetX, int offsetY);

    std::int32_t flashCounter = 0;
    bool flashFlag = false;
    std::int32_t digit = 0;
};
