#include <gtest/gtest.h>

#include <vector>

#include "game/code_store.h"

namespace {

struct HitRun {
    std::vector<int> digits;
    std::vector<int> points;
};

TEST(CodeStore, RunsOfEqualDigitsMultiplyThePoints) {
    const HitRun runs[] = {
        {{6, 6, 6, 6, 6}, {6, 18, 54, 96, 96}},
        {{1, 1, 2, 1, 1}, {1, 3, 2, 1, 3}},
        {{0, 0}, {10, 30}},
        {{5, 2, 5}, {5, 2, 5}},
        {{4, 4, 4, 4}, {4, 12, 36, 64}},
    };
    for (const HitRun& run : runs) {
        bool integrityFlag = false;
        GuardedValue score(integrityFlag, 0);
        CodeStore store(score);
        for (std::size_t i = 0; i < run.digits.size(); ++i) {
            int before = score.value();
            store.recordHit(run.digits[i]);
            EXPECT_EQ(score.value() - before, run.points[i]) << "hit " << i << " of the run starting " << run.digits[0];
        }
    }
}

TEST(CodeStore, KeepsTheLastFourNewestFirst) {
    bool integrityFlag = false;
    GuardedValue score(integrityFlag, 0);
    CodeStore store(score);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(store.entry(i), -1) << "a new store is empty";
    for (int d : {1, 2, 3, 4, 5}) store.recordHit(d);
    EXPECT_EQ(store.entry(0), 5);
    EXPECT_EQ(store.entry(1), 4);
    EXPECT_EQ(store.entry(2), 3);
    EXPECT_EQ(store.entry(3), 2);
}

}  // namespace
