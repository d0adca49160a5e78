#pragma once
// Appends the fields of binary file formats to a byte vector.
#include <cstdint>
#include <string_view>
#include <vector>

struct ByteWriter {
    std::vector<std::uint8_t> bytes;

    void u8(unsigned value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
    void u16le(unsigned value) {
        u8(value);
        u8(value >> 8);
    }
    void u32le(std::uint32_t value) {
        u16le(value);
        u16le(value >> 16);
    }
    void u16be(unsigned value) {
        u8(value >> 8);
        u8(value);
    }
    void text(std::string_view characters) { bytes.insert(bytes.end(), characters.begin(), characters.end()); }
};
