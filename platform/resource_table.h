#pragma once
// The program's resources compiled into a table, generated from the resource
// script (see cmake/ZifraResources.cmake): the very bytes that windres
// embeds in zifra.exe, for the builds that have no module to find them in.
// Constant data only, so any thread may read it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/resources.h"

namespace platform {

struct EmbeddedResource {
    ResourceType type;
    int id;  // -1 ends the table
    const std::uint8_t* bytes;
    std::size_t size;
};

extern const EmbeddedResource embeddedResources[];

// The bytes of resource `id` in the table, or nothing.
std::optional<std::span<const std::uint8_t>> embeddedResource(ResourceType type, int id);

}  // namespace platform
