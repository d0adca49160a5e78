#pragma once
// The player's signal: one shot at a time, climbing 7 pixels a frame. It is
// always tested as the centre point of its picture; its hit box is unused.
#include "game/cue_events.h"
#include "gfx/sprite.h"

class Signal : public Sprite {
public:
    Signal();

    // Launches from just above a figure at (px, py), unless one is in flight.
    void fire(int px, int py, CueEvents& cues);
    // Climbs; gone once it reaches the top (y <= 10).
    void update();

    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
};
