#pragma once
// Resource bytes of the program's own module, by type and numeric id.
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

enum class ResourceType {
    RcData,  // "pvb/rle" pictures
    Bitmap,  // the palette bitmap: information header, colour table, pixels
    Wave,    // sound cues, complete RIFF/WAVE files
};

// The bytes of resource `id`, valid for the whole run; nothing when the
// module has no such resource (or it cannot be mapped, which counts the same).
std::optional<std::span<const std::uint8_t>> resourceBytes(ResourceType type, int id);

}  // namespace platform
