#include "gfx/palette_colours.h"

#include <algorithm>

namespace {

std::uint32_t little32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

int paletteColourCount(std::span<const std::uint8_t> bitmapInfo) {
    if (bitmapInfo.size() < 40) return 0;
    std::uint32_t headerSize = little32(bitmapInfo, 0);
    int bitCount = bitmapInfo[14] | bitmapInfo[15] << 8;
    if (headerSize < 40 || bitCount > 8) return 0;
    std::uint32_t used = little32(bitmapInfo, 32);
    std::uint32_t count = used != 0 ? used : 1u << bitCount;
    // A header that announces more colours than follow it is not believed.
    std::size_t stored = headerSize <= bitmapInfo.size() ? (bitmapInfo.size() - headerSize) / 4 : 0;
    return static_cast<int>(std::min<std::size_t>({count, stored, 256}));
}

PaletteColours readPaletteColours(std::span<const std::uint8_t> bitmapInfo) {
    PaletteColours colours{};
    int count = paletteColourCount(bitmapInfo);
    std::size_t table = count > 0 ? little32(bitmapInfo, 0) : 0;
    for (int i = 0; i < count; ++i) {
        std::size_t at = table + 4 * static_cast<std::size_t>(i);  // blue, green, red, reserved
        colours[i] = {bitmapInfo[at + 2], bitmapInfo[at + 1], bitmapInfo[at]};
    }
    return colours;
}
