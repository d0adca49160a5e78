#pragma once
// The table that the host build generates from the resource script.
#include <cstddef>
#include <cstdint>

#include "platform/resources.h"

namespace platform {

struct HostResource {
    ResourceType type;
    int id;  // -1 ends the table
    const std::uint8_t* bytes;
    std::size_t size;
};

extern const HostResource hostResources[];

}  // namespace platform
