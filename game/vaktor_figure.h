#pragma once
// A Vaktor figure: a face with a telephone keypad standing between the block
// and the Servobot. Each hit wipes out one key; the hit after the last key
// makes it vanish. Restored whole every 2000 points.
#include <cstdint>

#include "game/cue_events.h"
#include "game/signal.h"
#include "gfx/image.h"
#include "gfx/sprite.h"

class GameRules;

class VaktorFigure : public Sprite {
public:
    VaktorFigure();

    // Every key back, 11 hits left, standing.
    void restore();
    // One hit: erases the next key, or makes a figure without keys vanish.
    void takeHit(CueEvents& cues);
    // The player's signal inside a standing figure is a hit for `rules`.
    void hitBySignal(const Signal& signal, GameRules& rules);

    // 11 when whole, 0 when gone; hidden exactly when 0.
    std::int32_t hitsLeft() const { return hitsLeft_; }

private:
    // Untouched copy of the picture, to repaint the keypad.
    Image pristine_;
    std::int32_t hitsLeft_ = 0;
};
