#pragma once
// The code store: the last four digits the signal hit, newest first, which
// decides the points of every hit from the run of equal digits it ends.
#include <cstdint>

#include "gfx/number_display.h"

class CodeStore {
public:
    // All four places empty (-1): the start of every game.
    void clear();

    // Takes digit d as the newest entry and adds its points to `score`:
    // d (0 counts 10) times 1, 3, 9 or 16 for a run of one, two, three, four
    // or more equal digits ending with this hit.
    void recordHit(std::int32_t d, NumberDisplay& score);

    // Entry 0 is the newest, 3 the oldest; -1 for an empty place.
    std::int32_t entry(int index) const { return entries_[index]; }

private:
    std::int32_t entries_[4] = {-1, -1, -1, -1};
};

// One store for the program; every new world empties it.
extern CodeStore codeStore;
