#include "game/keyboard_controller.h"

KeyLatches keyLatches;

namespace {

void applyRelease(std::uint8_t& pressed, std::uint8_t& released) {
    if (released) {
        released = 0;
        pressed = 0;
    }
}

}  // namespace

void KeyboardController::poll() {
    applyRelease(keyLatches.leftPressed, keyLatches.leftReleased);
    applyRelease(keyLatches.rightPressed, keyLatches.rightReleased);
    applyRelease(keyLatches.upPressed, keyLatches.upReleased);
    applyRelease(keyLatches.downPressed, keyLatches.downReleased);
    applyRelease(keyLatches.firePressed, keyLatches.fireReleased);

    horizontal = 0;
    if (keyLatches.leftPressed) horizontal = -1;
    if (keyLatches.rightPressed) horizontal = +1;
    fire = keyLatches.firePressed ? 1 : 0;
}

void KeyboardController::clearKeys() { keyLatches = KeyLatches{}; }
