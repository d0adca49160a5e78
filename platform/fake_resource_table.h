#pragma once
// The table of resource bytes that the fake platform serves, generated from
// the resource script (see cmake/ZifraResources.cmake).
#include <cstddef>
#include <cstdint>

#include "platform/resources.h"

namespace platform {

struct FakeResource {
    ResourceType type;
    int id;  // -1 ends the table
    const std::uint8_t* bytes;
    std::size_t size;
};

extern const FakeResource fakeResources[];

}  // namespace platform
