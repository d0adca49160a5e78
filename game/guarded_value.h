#pragma once
// GuardedValue: an integer kept together with a guard against changes from
// outside the program (a cheat tool that pokes memory). Reading it or adding
// to it checks the guard first and, on a mismatch, raises the integrity flag
// it was given, which marks a submitted score as untrusted; the value goes on
// as usual. The score, lives and level of a game and the run's best score are
// such values; the number displays only draw them.
#include <cstdint>

class GuardedValue {
public:
    GuardedValue(bool& integrityFlag, std::int32_t value);

    GuardedValue(const GuardedValue&) = delete;
    GuardedValue& operator=(const GuardedValue&) = delete;

    // Stores v and renews the guard: ordinary use never raises the flag.
    void setValue(std::int32_t v);
    // Wraps as 32-bit arithmetic does; callers pass negative deltas to subtract.
    void add(std::int32_t delta);
    std::int32_t value();

    // The value as stored, without the check: what a display draws.
    std::int32_t shown() const { return value_; }

private:
    void verifyGuard();
    void renewGuard();

    bool& integrityFlag_;
    std::int32_t value_;
    std::uint32_t guard_ = 0;
};
