#include "gfx/number_display.h"

#include <cstdio>

NumberDisplay::NumberDisplay(const Image* const (&digitImages)[10]) {
    for (int d = 0; d < 10; ++d) digitImages_[d] = digitImages[d];
}

void NumberDisplay::setPosition(int x, int y) {
    anchorX_ = x;
    anchorY_ = y;
}

void NumberDisplay::draw(Image& target, std::int32_t value) const {
    // Negative values never reach a display; their digits alone are drawn.
    char text[16];
    int n = std::snprintf(text, sizeof text, "%u",
                          value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value));
    int advance = digitImages_[0]->width + spacing;
    int x = alignment == 0 ? anchorX_ - n * advance / 2 : alignment == 2 ? anchorX_ - n * advance : anchorX_;
    for (int i = 0; i < n; ++i) {
        target.blit(*digitImages_[text[i] - '0'], x, anchorY_);
        x += advance;
    }
}
