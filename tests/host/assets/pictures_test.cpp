// Every "pvb/rle" picture of the resource script, as the game loads it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "platform/resources.h"

namespace {

constexpr std::uint8_t PANEL_CYAN = 191;
constexpr std::uint8_t PLAYFIELD_GREEN = 134;
constexpr std::uint8_t BLACK = 0;

struct Picture {
    int id;
    int width;
    int height;
};

const Picture pictures[] = {
    {111, 7, 11},  {112, 7, 11},  {113, 7, 11},   {114, 7, 11},  {115, 7, 11},  {116, 7, 11},  {117, 7, 11},
    {118, 7, 11},  {119, 7, 11},  {120, 7, 11},   {136, 37, 49}, {137, 35, 25}, {138, 9, 16},  {139, 65, 300},
    {151, 28, 28}, {152, 28, 28}, {153, 28, 28},  {154, 28, 28}, {155, 28, 28}, {156, 28, 28}, {157, 28, 28},
    {158, 28, 28}, {159, 28, 28}, {160, 28, 28},  {162, 8, 10},  {163, 9, 10},
};

// The pixels of a "pvb/rle" resource, decoded independently of Image: the
// test fails on anything a shipped picture must not hold.
std::vector<std::uint8_t> strictDecode(std::span<const std::uint8_t> bytes, int id) {
    std::vector<std::uint8_t> pixels;
    if (bytes.size() < 11) {
        ADD_FAILURE() << id << ": shorter than its header";
        return pixels;
    }
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "pvb/rle") << id;
    std::size_t expected = static_cast<std::size_t>(bytes[7] << 8 | bytes[8]) * (bytes[9] << 8 | bytes[10]);
    for (std::size_t in = 11; in < bytes.size();) {
        EXPECT_LT(pixels.size(), expected) << id << ": bytes left after the last pixel, at " << in;
        if (pixels.size() >= expected) break;
        if (bytes[in] != 0xFF) {
            pixels.push_back(bytes[in++]);
            continue;
        }
        if (in + 2 >= bytes.size()) {
            ADD_FAILURE() << id << ": run token cut off by the end of the resource";
            break;
        }
        std::uint8_t colour = bytes[in + 1], count = bytes[in + 2];
        EXPECT_GT(count, 0) << id << ": run of count 0 at " << in;
        EXPECT_LE(pixels.size() + count, expected) << id << ": run passes the last pixel at " << in;
        pixels.insert(pixels.end(), count, colour);
        in += 3;
    }
    EXPECT_EQ(pixels.size(), expected) << id << ": the stream must code exactly width x height pixels";
    for (std::uint8_t p : pixels) EXPECT_LE(p, 236) << id << ": not a palette colour";
    return pixels;
}

std::vector<std::uint8_t> pixelsOf(const Image& image) {
    return {image.pixels, image.pixels + image.width * image.height};
}

TEST(Pictures, EachCodesExactlyItsSizeAndLoadsAsTheGameLoadsIt) {
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.id);
        auto bytes = platform::resourceBytes(platform::ResourceType::RcData, p.id);
        ASSERT_TRUE(bytes);
        EXPECT_EQ((*bytes)[7] << 8 | (*bytes)[8], p.width);
        EXPECT_EQ((*bytes)[9] << 8 | (*bytes)[10], p.height);
        std::vector<std::uint8_t> strict = strictDecode(*bytes, p.id);

        Image image;
        ASSERT_TRUE(image.load(p.id));
        EXPECT_EQ(image.width, p.width);
        EXPECT_EQ(image.height, p.height);
        EXPECT_EQ(pixelsOf(image), strict);
    }
}

TEST(Pictures, DigitsAreBlackOnPanelCyan) {
    for (int id = 111; id <= 120; ++id) {
        Image digit(id);
        std::set<std::uint8_t> colours(digit.pixels, digit.pixels + digit.width * digit.height);
        EXPECT_EQ(colours, (std::set<std::uint8_t>{BLACK, PANEL_CYAN})) << id;
    }
}

// The figures, tiles and impulses are drawn over the playfield and must not
// cover it with a box of their own.
TEST(Pictures, FiguresDrawnOverOthersHaveTransparentCorners) {
    for (int id : {137, 138, 151, 152, 153, 154, 155, 156, 157, 158, 159, 160, 162, 163}) {
        Image figure(id);
        int right = figure.width - 1, bottom = figure.height - 1;
        for (int at : {0, right, bottom * figure.width, bottom * figure.width + right})
            EXPECT_EQ(figure.pixels[at], TRANSPARENT_INDEX) << id;
    }
}

TEST(Pictures, TilesAreSolidWithABlackDigit) {
    for (int id = 151; id <= 160; ++id) {
        Image tile(id);
        auto at = [&](int x, int y) { return tile.pixels[y * tile.width + x]; };
        for (int i = 6; i < 22; ++i) {
            EXPECT_NE(at(i, 14), TRANSPARENT_INDEX) << id << ": a tile is solid inside";
            EXPECT_NE(at(14, i), TRANSPARENT_INDEX) << id;
        }
        int black = 0;
        for (int y = 4; y < 24; ++y)
            for (int x = 7; x < 21; ++x) black += at(x, y) == BLACK;
        EXPECT_GT(black, 40) << id << ": the digit is large";
    }
}

TEST(Pictures, VaktorHasNoTransparentPixel) {
    Image vaktor(136);
    for (int i = 0; i < vaktor.width * vaktor.height; ++i) ASSERT_NE(vaktor.pixels[i], TRANSPARENT_INDEX) << i;
}

// The panel is drawn at screen x 335; what the world draws over it must find
// its place: readouts of up to five digits centred on screen x 367 at y 18,
// 60 and 102, and the code store's four tiles at screen x 354, y 151 to 262.
TEST(Pictures, PanelLeavesRoomForTheReadoutsAndTheCodeStore) {
    Image panel(139);
    auto at = [&](int x, int y) { return panel.pixels[y * panel.width + x]; };
    const int panelX = 335;
    for (int top : {18, 60, 102})
        for (int y = top - 1; y <= top + 11; ++y)
            for (int x = 345 - panelX; x < 390 - panelX; ++x)
                ASSERT_EQ(at(x, y), PANEL_CYAN) << "readout at y " << top << ", pixel (" << x << ", " << y << ")";
    for (int y = 151 - 2; y < 263 + 2; ++y)
        for (int x = 354 - panelX - 2; x < 354 - panelX + 28 + 2; ++x)
            ASSERT_EQ(at(x, y), PLAYFIELD_GREEN) << "code store box, pixel (" << x << ", " << y << ")";
}

}  // namespace
