#include <gtest/gtest.h>

#include <vector>

#include "gfx/palette_colours.h"

namespace {

// An information header (40 bytes) with the given bit count and colours-used
// count, followed by `stored` colour entries, entry i = (blue i, green 2i, red 3i).
std::vector<std::uint8_t> bitmapInfo(int bitCount, std::uint32_t used, int stored, std::uint32_t headerSize = 40) {
    std::vector<std::uint8_t> bytes(headerSize < 40 ? 40 : headerSize, 0);
    bytes[0] = static_cast<std::uint8_t>(headerSize);
    bytes[4] = 1;  // width
    bytes[8] = 1;  // height
    bytes[12] = 1;
    bytes[14] = static_cast<std::uint8_t>(bitCount);
    for (int k = 0; k < 4; ++k) bytes[32 + k] = static_cast<std::uint8_t>(used >> (8 * k));
    for (int i = 0; i < stored; ++i) {
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i),
                                   static_cast<std::uint8_t>(3 * i), 0});
    }
    return bytes;
}

TEST(PaletteColours, CountFollowsTheHeader) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> info;
        int count;
    };
    const Case cases[] = {
        {"the game's palette", bitmapInfo(8, 237, 237), 237},
        {"colours-used 0 means all", bitmapInfo(8, 0, 256), 256},
        {"4 bits, colours-used 0", bitmapInfo(4, 0, 16), 16},
        {"more than 8 bits has no table", bitmapInfo(24, 0, 0), 0},
        {"header shorter than 40", bitmapInfo(8, 2, 2, 12), 0},
        {"larger header", bitmapInfo(8, 3, 3, 108), 3},
        {"announces more than it stores", bitmapInfo(8, 237, 10), 10},
        {"truncated header", std::vector<std::uint8_t>(20, 0), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(paletteColourCount(c.info), c.count) << c.name;
}

TEST(PaletteColours, EntriesAreTurnedFromBlueGreenRedToRgb) {
    PaletteColours colours = readPaletteColours(bitmapInfo(8, 237, 237));
    EXPECT_EQ(colours[0].red, 0);
    EXPECT_EQ(colours[80].red, 240);
    EXPECT_EQ(colours[80].green, 160);
    EXPECT_EQ(colours[80].blue, 80);
    EXPECT_EQ(colours[236].blue, 236);
    EXPECT_EQ(colours[237].red + colours[237].green + colours[237].blue, 0) << "beyond the table stays black";
}

}  // namespace
