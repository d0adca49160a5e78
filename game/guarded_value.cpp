#include "game/guarded_value.h"

#include <chrono>
#include <random>

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

GuardedValue::GuardedValue(bool& integrityFlag, std::int32_t value) : integrityFlag_(integrityFlag), value_(value) {
    renewGuard();
}

void GuardedValue::verifyGuard() {
    if (guard_ != guardOf(value_)) integrityFlag_ = true;
}

void GuardedValue::renewGuard() { guard_ = guardOf(value_); }

void GuardedValue::setValue(std::int32_t v) {
    value_ = v;
    renewGuard();
}

void GuardedValue::add(std::int32_t delta) {
    verifyGuard();
    value_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(value_) + static_cast<std::uint32_t>(delta));
    renewGuard();
}

std::int32_t GuardedValue::value() {
    verifyGuard();
    return value_;
}
