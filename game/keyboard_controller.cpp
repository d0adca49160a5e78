#include "game/keyboard_controller.h"

namespace {

void applyRelease(bool& pressed, bool& released) {
    if (released) {
        released = false;
        pressed = false;
    }
}

}  // namespace

void KeyboardController::poll() {
    applyRelease(latches_.leftPressed, latches_.leftReleased);
    applyRelease(latches_.rightPressed, latches_.rightReleased);
    applyRelease(latches_.upPressed, latches_.upReleased);
    applyRelease(latches_.downPressed, latches_.downReleased);
    applyRelease(latches_.firePressed, latches_.fireReleased);

    horizontal_ = 0;
    if (latches_.leftPressed) horizontal_ = -1;
    if (latches_.rightPressed) horizontal_ = +1;
    fire_ = latches_.firePressed ? 1 : 0;
}

void KeyboardController::clearKeys() { latches_ = KeyLatches{}; }
