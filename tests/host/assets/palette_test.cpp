// The palette bitmap, read as the frame buffer reads it.
#include <gtest/gtest.h>

#include <tuple>

#include "gfx/palette_colours.h"
#include "platform/resources.h"

namespace {

TEST(Palette, IsAOnePixelEightBitBitmapOf237Colours) {
    auto info = platform::resourceBytes(platform::ResourceType::Bitmap, 150);
    ASSERT_TRUE(info);
    const auto& b = *info;
    ASSERT_GE(b.size(), 40u);
    auto little = [&](int at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24; };
    EXPECT_EQ(little(0), 40) << "information header, no file header";
    EXPECT_EQ(little(4), 1) << "width";
    EXPECT_EQ(little(8), 1) << "height";
    EXPECT_EQ(b[14] | b[15] << 8, 8) << "bits per pixel";
    EXPECT_EQ(little(32), 237) << "colours used";
    EXPECT_EQ(paletteColourCount(b), 237);
    EXPECT_EQ(b.size(), 40u + 237 * 4 + 4) << "header, colour table, one padded row";
}

TEST(Palette, FixedColours) {
    PaletteColours colours = readPaletteColours(*platform::resourceBytes(platform::ResourceType::Bitmap, 150));
    auto rgb = [&](int i) { return std::tuple(colours[i].red, colours[i].green, colours[i].blue); };
    EXPECT_EQ(rgb(0), std::tuple(0, 0, 0));
    EXPECT_EQ(rgb(134), std::tuple(102, 204, 102)) << "the playfield green";
    EXPECT_EQ(rgb(236), std::tuple(255, 0, 255)) << "the transparent magenta";
    EXPECT_EQ(rgb(15), std::tuple(255, 255, 255)) << "the white of keys and impulses";
    auto [red, green, blue] = rgb(191);
    EXPECT_GT(green, red + 80) << "the side panel is cyan";
    EXPECT_GT(blue, red + 80);
    EXPECT_GT(green, 180);
}

}  // namespace
