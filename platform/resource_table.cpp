#include "platform/resource_table.h"

namespace platform {

std::optional<std::span<const std::uint8_t>> embeddedResource(ResourceType type, int id) {
    for (const EmbeddedResource* r = embeddedResources; r->id != -1; ++r) {
        if (r->type == type && r->id == id) return std::span<const std::uint8_t>(r->bytes, r->size);
    }
    return std::nullopt;
}

}  // namespace platform
