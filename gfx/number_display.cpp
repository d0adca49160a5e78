#include "gfx/number_display.h"

#include <chrono>
#include <cstdio>
#include <random>

std::uint8_t scoreIntegrityFlag = 0;

namespace {

// The guard keeps the value transformed with a key chosen anew for every run,
// so a cheat tool that pokes the plain value (or replays a guard seen in an
// earlier run) leaves the two out of step.
std::uint32_t guardKey() {
    static const std::uint32_t key = [] {
        std::random_device device;
        auto ticks = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::uint32_t mixed = device() ^ static_cast<std::uint32_t>(ticks) ^ static_cast<std::uint32_t>(ticks >> 32);
        return mixed | 1u;
    }();
    return key;
}

std::uint32_t guardOf(std::int32_t value) {
    std::uint32_t key = guardKey();
    return (static_cast<std::uint32_t>(value) ^ key) * 0x9E3779B1u + (key >> 7);
}

}  // namespace

NumberDisplay::NumberDisplay() { renewGuard(); }

NumberDisplay::NumberDisplay(Image* target, Image* const (&digitImages)[10]) : target_(target) {
    for (int d = 0; d < 10; ++d) digitImages_[d] = digitImages[d];
    renewGuard();
}

void NumberDisplay::verifyGuard() {
    if (guard_ != guardOf(value_)) scoreIntegrityFlag = 1;
}

void NumberDisplay::renewGuard() { guard_ = guardOf(value_); }

void NumberDisplay::setValue(std::int32_t v) {
    value_ = v;
    renewGuard();
}

void NumberDisplay::add(std::int32_t delta) {
    verifyGuard();
    value_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(value_) + static_cast<std::uint32_t>(delta));
    renewGuard();
}

std::int32_t NumberDisplay::value() {
    verifyGuard();
    return value_;
}

void NumberDisplay::setPosition(int x, int y) {
    anchorX_ = x;
    anchorY_ = y;
}

void NumberDisplay::draw() {
    if (!target_) return;
    // Negative values never reach a display; their digits alone are drawn.
    char text[16];
    int n = std::snprintf(text, sizeof text, "%u",
                          value_ < 0 ? 0u - static_cast<std::uint32_t>(value_) : static_cast<std::uint32_t>(value_));
    int advance = digitImages_[0]->width + spacing;
    int x = alignment == 0 ? anchorX_ - n * advance / 2 : alignment == 2 ? anchorX_ - n * advance : anchorX_;
    for (int i = 0; i < n; ++i) {
        target_->blit(*digitImages_[text[i] - '0'], x, anchorY_);
        x += advance;
    }
}
