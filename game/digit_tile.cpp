#include "game/digit_tile.h"

#include <algorithm>

DigitTile::DigitTile(const Image& source, int atX, int atY, int hitLeft, int hitTop, int hitRight, int hitBottom,
                     std::int32_t tileDigit)
    : digit_(tileDigit) {
    setHitBox(hitLeft, hitTop, hitRight, hitBottom);
    resize(source.width, source.height);
    std::copy_n(source.pixels, source.width * source.height, pixels);
    x = atX;
    y = atY;
}

void DigitTile::update(Signal& signal, Servobot& servobot, int offsetX, int offsetY, GameRules& rules) {
    // Contact is tested where the tile is seen: the Servobot's rectangle is
    // carried into the tile's own coordinates by the same offsets as the
    // signal below. So a block that has descended onto the Servobot's row
    // (possible only while no Vaktor figure stands) costs a life just as a
    // diving tile does, and the world rebuilds the formation.
    Rect reach = servobot.hitRect();
    reach.left -= offsetX;
    reach.right -= offsetX;
    reach.top -= offsetY;
    reach.bottom -= offsetY;
    if (overlaps(reach)) rules.tileReachedServobot();

    if (signal.hidden) return;
    if (containsPoint(signal.centreX() - offsetX, signal.centreY() - offsetY)) rules.signalHitTile(*this);
}

void DigitTile::countDrawnFrame() {
    if (hidden || !flashFlag_) return;
    flashCounter_ += 1;
    if (flashCounter_ > 2) {
        flashCounter_ = 0;
        flashFlag_ = false;
    }
}

void DigitTile::draw(Image& screen, int offsetX, int offsetY) {
    if (!hidden && flashCounter_ == 0) screen.blit(*this, x + offsetX, y + offsetY);
}
