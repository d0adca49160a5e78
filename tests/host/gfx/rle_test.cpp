#include <gtest/gtest.h>

#include <vector>

#include "gfx/image.h"

namespace {

// Decodes `stream` into a fresh image of `pixelCount` pixels preset to 99, so
// that pixels the stream leaves alone show.
std::vector<std::uint8_t> decode(std::vector<std::uint8_t> stream, int pixelCount) {
    Image image(pixelCount, 1);
    image.fillRect(0, 0, pixelCount, 1, 99);
    EXPECT_TRUE(image.decodeRuns(stream, pixelCount));
    return {image.pixels, image.pixels + pixelCount};
}

TEST(DecodeRuns, Table) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> stream;
        int pixelCount;
        std::vector<std::uint8_t> pixels;
    };
    const Case cases[] = {
        {"run then literal", {0xFF, 5, 3, 7}, 4, {5, 5, 5, 7}},
        {"count 0 yields nothing", {1, 0xFF, 5, 0, 2}, 2, {1, 2}},
        {"run cut at the pixel count", {0xFF, 4, 9}, 3, {4, 4, 4}},
        {"run of index 255", {0xFF, 0xFF, 2}, 2, {255, 255}},
        {"stops at the pixel count", {1, 2, 3, 4}, 2, {1, 2}},
        {"short stream leaves the rest", {1, 2}, 4, {1, 2, 99, 99}},
        {"run token cut by the stream's end", {3, 0xFF, 6}, 3, {3, 99, 99}},
        {"lone run byte at the end", {3, 0xFF}, 3, {3, 99, 99}},
        {"empty stream", {}, 2, {99, 99}},
    };
    for (const Case& c : cases) EXPECT_EQ(decode(c.stream, c.pixelCount), c.pixels) << c.name;
}

TEST(DecodeRuns, NonPositiveCountWritesNothing) {
    Image image(2, 1);
    image.fillRect(0, 0, 2, 1, 99);
    std::vector<std::uint8_t> stream = {1, 2};
    EXPECT_TRUE(image.decodeRuns(stream, 0));
    EXPECT_TRUE(image.decodeRuns(stream, -3));
    EXPECT_EQ(image.pixels[0], 99);
    EXPECT_EQ(image.pixels[1], 99);
}

}  // namespace
