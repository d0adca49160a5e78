#pragma once
// NumberDisplay: draws a number as a row of digit images, at an anchor with a
// spacing and an alignment. It holds no number: the value it is given (a
// guarded value's shown()) is only drawn.
#include <cstdint>

#include "gfx/image.h"

class NumberDisplay {
public:
    // The ten digit images are not owned; they must outlive the display.
    explicit NumberDisplay(const Image* const (&digitImages)[10]);

    void setPosition(int x, int y);
    // Draws `value` without sign or leading zeros, its top edge at the anchor.
    void draw(Image& target, std::int32_t value) const;

    std::int32_t spacing = 0;
    // 0 centred on the anchor, 2 right end at the anchor, anything else left edge at it.
    std::int32_t alignment = 1;

private:
    int anchorX_ = 0;
    int anchorY_ = 0;
    const Image* digitImages_[10] = {};
};
