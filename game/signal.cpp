#include "game/signal.h"

#include "platform/cues.h"
#include "res/resource_ids.h"

Signal::Signal() {
    hidden = true;
    load(IDP_SIGNAL);
}

void Signal::fire(int px, int py) {
    if (!hidden) return;
    platform::playCue(IDS_SIGNAL);
    hidden = false;
    x = px + 10;
    y = py - 20;
}

void Signal::update() {
    if (hidden) return;
    y -= 7;
    if (y <= 10) hidden = true;
}
