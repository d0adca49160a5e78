#pragma once
// NumberDisplay: a guarded integer that draws itself as a row of digit
// images. Without a target it is a plain guarded integer (the best score).
#include <cstdint>

#include "gfx/image.h"

// Raised when a guarded value was found changed from outside the program;
// cleared whenever a world is built. Marks a submitted score as untrusted.
extern std::uint8_t scoreIntegrityFlag;

class NumberDisplay {
public:
    NumberDisplay();
    NumberDisplay(Image* target, Image* const (&digitImages)[10]);
    virtual ~NumberDisplay() = default;

    void setValue(std::int32_t v);
    // Wraps as 32-bit arithmetic does.
    void add(std::int32_t delta);
    std::int32_t value();
    void setPosition(int x, int y);
    void draw();

    std::int32_t spacing = 0;
    // 0 centred on the anchor, 2 right end at the anchor, anything else left edge at it.
    std::int32_t alignment = 1;

private:
    void verifyGuard();
    void renewGuard();

    std::int32_t value_ = 0;
    std::uint32_t guard_ = 0;
    int anchorX_ = 0;
    int anchorY_ = 0;
    Image* digitImages_[10] = {};
    Image* target_ = nullptr;
};
