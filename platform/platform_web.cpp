// The browser's side of the seam: what the portable code asks of the
// platform when the page's JavaScript drives it, the page's clock and the
// calendar (the resources come from the compiled-in table,
// resources_embedded.cpp); the page plays the cues and posts the forms
// itself (shells/web).
#include <emscripten.h>

#include <cstdio>
#include <ctime>

#include "platform/calendar.h"
#include "platform/debug_output.h"
#include "platform/timer.h"

namespace platform {

// The page's clock (performance.now), which the shell also reads.
std::uint32_t milliseconds() { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now())); }

std::int64_t calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

// The browser's console.
void writeDebugOutput(const char* text) { std::fputs(text, stderr); }

}  // namespace platform
