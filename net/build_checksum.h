#pragma once
// The checksum a program sends of its own file: the reflected CRC-32
// (polynomial 0xEDB88320) with the register starting at 0 and never
// complemented. For "abc" it is 3395655888, where the standard CRC-32 gives
// 891568578.
#include <cstdint>
#include <string_view>

// The register after one more byte.
std::uint32_t checksumStep(std::uint32_t checksum, std::uint8_t byte);

// The register after every byte of `bytes`, from `checksum` on.
std::uint32_t checksumOf(std::string_view bytes, std::uint32_t checksum = 0);
