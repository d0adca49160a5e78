#include "gfx/sprite.h"

void Sprite::draw(Image& screen) {
    if (!hidden) screen.blit(*this, x, y);
}

void Sprite::setHitBox(int left, int top, int right, int bottom) { hitBox = {left, top, right, bottom}; }

const Rect& Sprite::hitRect() {
    hitRectangle = {x + hitBox.left, y + hitBox.top, x + hitBox.right, y + hitBox.bottom};
    return hitRectangle;
}

bool Sprite::containsPoint(int px, int py) {
    const Rect& r = hitRect();
    return r.left < px && px < r.right && r.top < py && py < r.bottom;
}

bool Sprite::overlaps(const Rect& r) {
    const Rect& own = hitRect();
    return r.top < own.bottom && r.bottom > own.top && r.right > own.left && r.left < own.right;
}
