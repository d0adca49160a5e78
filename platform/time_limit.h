#pragma once
// Work that may block for as long as someone else likes (a server that
// never stops answering), waited for with a time limit.
#include <cstdint>
#include <functional>

namespace platform {

// Runs `work` on a thread of its own and waits at most `limitMs` for it to
// end. True when it ended in time. Otherwise the caller goes on without it:
// the work runs on unwatched until it ends by itself (or with the program),
// so it must own, through its captures, everything it touches.
bool runWithTimeLimit(std::function<void()> work, std::uint32_t limitMs);

}  // namespace platform
