#pragma once
// Sprite: an image that stands somewhere on the screen, can be hidden, and
// has a hit box. Every collision of the game is one of its two strict tests.
#include <cstdint>

#include "gfx/image.h"

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

class Sprite : public Image {
public:
    Sprite() = default;

    // Unless hidden, blits the picture into `screen` at (x, y).
    void draw(Image& screen);

    // Offsets of the hit box relative to (x, y).
    void setHitBox(int left, int top, int right, int bottom);

    // The hit box in screen coordinates, recomputed from the position now.
    const Rect& hitRect();

    // Strictly inside: a point on an edge is outside.
    bool containsPoint(int px, int py);
    // Strict overlap: rectangles that only touch do not overlap.
    bool overlaps(const Rect& r);

    bool hidden = false;
    Rect hitRectangle;
    std::int32_t y = 0;
    std::int32_t x = 0;
    Rect hitBox;
};
