#pragma once
// Reading a replay file, bounded by the replay's own size limit.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/replay.h"

// The file's bytes, or nothing with the reason in `error` (also for a file
// larger than `limits` allow, which is not read to its end).
std::optional<std::vector<std::uint8_t>> readReplayFile(const std::string& path, const ReplayLimits& limits,
                                                        std::string& error);
