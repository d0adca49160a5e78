// The browser's side of the seam: what the portable code asks of the
// platform when the page's JavaScript drives it. The clock is the page's,
// the resources are the table generated from the resource script, and the
// page plays the cues and posts the forms itself (shells/web).
#include <emscripten.h>

#include <cstdio>
#include <ctime>

#include "platform/bitmaps.h"
#include "platform/calendar.h"
#include "platform/debug_output.h"
#include "platform/fake_resource_table.h"
#include "platform/resources.h"
#include "platform/timer.h"

namespace platform {

// The page's clock (performance.now), which the shell also reads.
std::uint32_t milliseconds() { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now())); }

std::int64_t calendarSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

// The browser's console.
void writeDebugOutput(const char* text) { std::fputs(text, stderr); }

std::optional<std::span<const std::uint8_t>> resourceBytes(ResourceType type, int id) {
    for (const FakeResource* r = fakeResources; r->id != -1; ++r) {
        if (r->type == type && r->id == id) return std::span<const std::uint8_t>(r->bytes, r->size);
    }
    return std::nullopt;
}

// No bitmap loader: pictures come from "pvb/rle" resources only.
std::optional<LoadedBitmap> loadBitmap(int) { return std::nullopt; }
void releaseBitmap(LoadedBitmap& bitmap) { bitmap = LoadedBitmap{}; }

}  // namespace platform
