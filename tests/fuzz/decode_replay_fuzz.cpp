// The replay decoder, over any bytes: it gives a replay or a reason, and a
// replay it gives has exactly these bytes as its one form. What it gives is
// proven too (within a few thousand frames, to keep each input quick).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "game/replay.h"
#include "game/replay_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ReplayLimits limits{64 * 1024, 3000};
    std::string error;
    std::optional<Replay> replay = decodeReplay(std::span(data, size), limits, error);
    if (!replay) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    std::vector<std::uint8_t> again = encodeReplay(*replay);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) __builtin_trap();
    ReplayVerdict verdict = verifyReplay(*replay, limits);
    if (!verdict.proven && verdict.error.empty()) __builtin_trap();
    return 0;
}
