#include "server/play_time_bound.h"

std::int64_t highestPlausibleScore(std::uint32_t playTimeMs) {
    return mostPointsPerHit * (playTimeMs / msPerFrame + 1);
}
