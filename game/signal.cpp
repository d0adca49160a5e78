#include "game/signal.h"

#include "res/resource_ids.h"

Signal::Signal() {
    hidden = true;
    load(IDP_SIGNAL);
}

void Signal::fire(int px, int py, CueEvents& cues) {
    if (!hidden) return;
    cues.push_back(IDS_SIGNAL);
    hidden = false;
    x = px + 10;
    y = py - 20;
}

void Signal::update() {
    if (hidden) return;
    y -= 7;
    if (y <= 10) hidden = true;
}
