#include "game/code_store.h"

void CodeStore::recordHit(std::int32_t d) {
    entries_[3] = entries_[2];
    entries_[2] = entries_[1];
    entries_[1] = entries_[0];
    entries_[0] = d;

    std::int32_t multiplier = 1;
    if (entries_[1] == d && entries_[2] == d && entries_[3] == d) {
        multiplier = 16;
    } else if (entries_[1] == d && entries_[2] == d) {
        multiplier = 9;
    } else if (entries_[1] == d) {
        multiplier = 3;
    }
    std::int32_t value = d == 0 ? 10 : d;
    score_.add(multiplier * value);
}
