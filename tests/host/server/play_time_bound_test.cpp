#include <gtest/gtest.h>

#include <cstdint>

#include "server/play_time_bound.h"

namespace {

TEST(PlayTimeBound, OneHitOfAtMost160PointsPerFrameDue) {
    const std::pair<std::uint32_t, std::int64_t> cases[] = {
        {0, 160},       // frame 0 alone
        {39, 160},      {40, 320},  // frame 1 is due at 40 ms
        {60000, 240160},  // a minute: 1501 frames
        {UINT32_MAX, 160 * (std::int64_t{UINT32_MAX} / 40 + 1)},  // no overflow at the end of the clock
    };
    for (auto [ms, points] : cases) EXPECT_EQ(highestPlausibleScore(ms), points) << ms;
}

}  // namespace
