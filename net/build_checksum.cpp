#include "net/build_checksum.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

}  // namespace

std::uint32_t checksumStep(std::uint32_t checksum, std::uint8_t byte) {
    return (checksum >> 8) ^ crcTable[(checksum ^ byte) & 0xFF];
}

std::uint32_t checksumOf(std::string_view bytes, std::uint32_t checksum) {
    for (char b : bytes) checksum = checksumStep(checksum, static_cast<std::uint8_t>(b));
    return checksum;
}
