#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "game/guarded_value.h"

namespace {

TEST(GuardedValue, AddsAndWrapsAsThirtyTwoBitArithmetic) {
    bool integrityFlag = false;
    GuardedValue value(integrityFlag, 1);
    value.add(-1);
    EXPECT_EQ(value.value(), 0);
    value.setValue(INT32_MAX);
    value.add(1);
    EXPECT_EQ(value.value(), INT32_MIN);
    value.add(-1);
    EXPECT_EQ(value.value(), INT32_MAX);
    EXPECT_EQ(value.shown(), INT32_MAX);
    EXPECT_FALSE(integrityFlag) << "ordinary use raised the flag";
}

TEST(GuardedValue, RaisesItsFlagWhenTheValueIsPokedFromOutside) {
    bool integrityFlag = false;
    GuardedValue value(integrityFlag, 120);
    value.add(5);

    // A cheat tool finds the plain value in memory and overwrites it.
    std::int32_t plain = 125;
    auto* bytes = reinterpret_cast<unsigned char*>(&value);
    bool poked = false;
    for (std::size_t i = 0; i + sizeof plain <= sizeof value; ++i) {
        if (std::memcmp(bytes + i, &plain, sizeof plain) == 0) {
            std::int32_t cheat = 99999;
            std::memcpy(bytes + i, &cheat, sizeof cheat);
            poked = true;
        }
    }
    ASSERT_TRUE(poked);
    EXPECT_EQ(value.shown(), 99999);
    EXPECT_FALSE(integrityFlag) << "drawing the value checks nothing";
    EXPECT_EQ(value.value(), 99999) << "the value goes on as it is";
    EXPECT_TRUE(integrityFlag);

    integrityFlag = false;
    value.setValue(3);
    value.add(1);
    EXPECT_FALSE(integrityFlag) << "setValue renews the guard";
}

}  // namespace
