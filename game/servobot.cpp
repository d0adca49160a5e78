#include "game/servobot.h"

#include "res/resource_ids.h"

Servobot::Servobot() {
    load(IDP_SERVOBOT);
    x = 30;
    y = 270;
    reset();
}

void Servobot::reset() {
    isProtected = true;
    blinkCounter = 0;
    killedByImpulse = false;
}

void Servobot::countDrawnFrame() {
    blinkCounter += 1;
    if (blinkCounter > 40) isProtected = false;
}

void Servobot::draw(Image& screen) {
    if (!isProtected || blinkCounter % 2 == 1) Sprite::draw(screen);
}
