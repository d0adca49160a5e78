#pragma once
// The code store: the last four digits the signal hit, newest first, which
// decides the points of every hit from the run of equal digits it ends.
#include <cstdint>

#include "game/guarded_value.h"

class CodeStore {
public:
    // Empty (all four places -1), raising `score` with every hit.
    explicit CodeStore(GuardedValue& score) : score_(score) {}

    CodeStore(const CodeStore&) = delete;
    CodeStore& operator=(const CodeStore&) = delete;

    // Takes digit d as the newest entry and adds its points to the score:
    // d (0 counts 10) times 1, 3, 9 or 16 for a run of one, two, three, four
    // or more equal digits ending with this hit.
    void recordHit(std::int32_t d);

    // Entry 0 is the newest, 3 the oldest; -1 for an empty place.
    std::int32_t entry(int index) const { return entries_[index]; }

private:
    GuardedValue& score_;
    std::int32_t entries_[4] = {-1, -1, -1, -1};
};
