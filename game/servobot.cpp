#include "game/servobot.h"

#include "res/resource_ids.h"

Servobot::Servobot() {
    load(IDP_SERVOBOT);
    x = 30;
    y = 270;
    reset();
}

void Servobot::reset() {
    isProtected_ = true;
    blinkCounter_ = 0;
    killedByImpulse_ = false;
}

void Servobot::hit(bool byImpulse) {
    hidden = true;
    if (byImpulse) killedByImpulse_ = true;
}

void Servobot::countDrawnFrame() {
    blinkCounter_ += 1;
    if (blinkCounter_ > 40) isProtected_ = false;
}

void Servobot::draw(Image& screen) {
    if (!isProtected_ || blinkCounter_ % 2 == 1) Sprite::draw(screen);
}
