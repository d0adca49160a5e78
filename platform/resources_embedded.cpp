// The resource services of the seam served from the compiled-in table alone,
// for what runs the rules without a platform (the replay verifier): the
// pictures give the figures their sizes and hit boxes. No bitmap loader:
// pictures come from "pvb/rle" resources only, as on the fake platform.
#include "platform/bitmaps.h"
#include "platform/resource_table.h"
#include "platform/resources.h"

namespace platform {

std::optional<std::span<const std::uint8_t>> resourceBytes(ResourceType type, int id) {
    return embeddedResource(type, id);
}

std::optional<LoadedBitmap> loadBitmap(int) { return std::nullopt; }
void releaseBitmap(LoadedBitmap& bitmap) { bitmap = LoadedBitmap{}; }

}  // namespace platform
