// The main window as the player sees it: when the game is held, and what
// going away and coming back do to the keys and the frame clock.
#include "app/program.h"

void Program::windowActivated(bool active, std::uint32_t now) {
    bool wasHeld = held();
    windowActive_ = active;
    holdChanged(wasHeld, now);
}

void Program::windowMinimised(bool minimised, std::uint32_t now) {
    bool wasHeld = held();
    windowMinimised_ = minimised;
    holdChanged(wasHeld, now);
}

void Program::holdChanged(bool wasHeld, std::uint32_t now) {
    if (held() == wasHeld) return;
    if (held()) {
        releaseKeys();
    } else {
        resetFrameClock(now);
    }
}

void Program::releaseKeys() {
    // As the key-ups that will not come would: the next poll releases them.
    auto release = [](bool pressed, bool& released) {
        if (pressed) released = true;
    };
    KeyLatches& l = keyLatches;
    release(l.leftPressed, l.leftReleased);
    release(l.rightPressed, l.rightReleased);
    release(l.upPressed, l.upReleased);
    release(l.downPressed, l.downReleased);
    release(l.firePressed, l.fireReleased);
    newGameHeld_ = false;
}

void Program::modalLoopEnded(std::uint32_t now) {
    // A dialog handed out has ended with its loop.
    dialogEnded();
    // The keys' key-ups went to the loop (the menu takes the arrows, a dialog
    // the focus) and will not come here.
    releaseKeys();
    resetFrameClock(now);
}
