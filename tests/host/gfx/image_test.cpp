#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "gfx/image.h"
#include "platform/fake_control.h"

// Pixel buffers are arrays: counting the arrays allocated shows whether a
// refused picture allocated anything before it was refused.
static std::size_t arraysAllocated = 0;

void* operator new[](std::size_t size) {
    ++arraysAllocated;
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

// Every pixel of `image` as a flat copy, for comparisons.
std::vector<std::uint8_t> pixelsOf(const Image& image) {
    return {image.pixels, image.pixels + image.width * image.height};
}

TEST(Image, PlaceholderIsAFrameOfZeroAroundAFieldOf255) {
    Image image;
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool ring = x == 0 || y == 0 || x == 15 || y == 15;
            EXPECT_EQ(image.pixels[y * 16 + x], ring ? 0 : 255) << x << "," << y;
        }
    }
    EXPECT_EQ(image.fillColour, 255);
}

TEST(Image, SizedPlaceholderFramesTheGivenSize) {
    Image image(5, 3);
    EXPECT_EQ(pixelsOf(image), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0}));
}

TEST(Image, FillRectClipsToTheImage) {
    struct Case {
        const char* name;
        int x, y, w, h;
        int firstColumn, lastColumn, firstRow, lastRow;  // filled area, or lastColumn < firstColumn for none
    };
    const Case cases[] = {
        {"playfield", 0, 0, 333, 300, 0, 332, 0, 299},
        {"past the right and bottom edges", 390, 290, 50, 50, 390, 399, 290, 299},
        {"negative origin keeps its length", -5, -3, 10, 4, 0, 9, 0, 3},
        {"x equal to the width", 400, 0, 10, 10, 1, 0, 1, 0},
        {"y equal to the height", 0, 300, 10, 10, 1, 0, 1, 0},
        {"last pixel", 399, 299, 1, 1, 399, 399, 299, 299},
    };
    for (const Case& c : cases) {
        Image image(400, 300);
        image.fillRect(0, 0, 400, 300, 7);
        image.fillRect(c.x, c.y, c.w, c.h, 134);
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 400; ++x) {
                bool inside = x >= c.firstColumn && x <= c.lastColumn && y >= c.firstRow && y <= c.lastRow;
                ASSERT_EQ(image.pixels[y * 400 + x], inside ? 134 : 7) << c.name << " at " << x << "," << y;
            }
        }
    }
}

TEST(Image, FillRectWithoutColourUsesTheLastOne) {
    Image image(4, 1);
    image.fillRect(0, 0, 1, 1, 9);
    image.fillRect(3, 0, 1, 1);
    EXPECT_EQ(pixelsOf(image), (std::vector<std::uint8_t>{9, 0, 0, 9}));  // too flat for a field of 255
}

// A 9 x 10 source whose pixel (c, r) holds 10 * r + c + 1.
struct NumberedSource : Image {
    NumberedSource() : Image(9, 10) {
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 9; ++c) pixels[r * 9 + c] = static_cast<std::uint8_t>(10 * r + c + 1);
    }
};

TEST(Image, BlitClipsAtTheBottomLeftCorner) {
    Image screen(400, 300);
    screen.fillRect(0, 0, 400, 300, 0);
    NumberedSource source;
    screen.blit(source, -4, 295);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            int expected = 0;
            if (x <= 4 && y >= 295) expected = 10 * (y - 295) + (x + 4) + 1;
            ASSERT_EQ(screen.pixels[y * 400 + x], expected) << x << "," << y;
        }
    }
}

TEST(Image, BlitOutsideOrTouchingTheEdgeWritesNothing) {
    NumberedSource source;
    const int positions[][2] = {{-9, 0}, {0, -10}, {400, 0}, {0, 300}, {-100, -100}, {500, 500}};
    for (const auto& p : positions) {
        Image screen(400, 300);
        screen.fillRect(0, 0, 400, 300, 0);
        screen.blit(source, p[0], p[1]);
        for (int i = 0; i < 400 * 300; ++i) ASSERT_EQ(screen.pixels[i], 0) << p[0] << "," << p[1];
    }
}

TEST(Image, BlitSkipsTheTransparentIndexOnly) {
    Image source(3, 1);
    source.pixels[0] = TRANSPARENT_INDEX;
    source.pixels[1] = 0;
    source.pixels[2] = 255;
    Image target(3, 1);
    target.fillRect(0, 0, 3, 1, 42);
    target.blit(source, 0, 0);
    EXPECT_EQ(pixelsOf(target), (std::vector<std::uint8_t>{42, 0, 255}));
}

TEST(Image, BlitClipsAtTheRightEdge) {
    NumberedSource source;
    Image target(10, 1);
    target.fillRect(0, 0, 10, 1, 0);
    target.blit(source, 7, -9);  // only source row 9, columns 0-2
    EXPECT_EQ(pixelsOf(target), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 91, 92, 93}));
}

class ImageLoad : public ::testing::Test {
protected:
    void TearDown() override { platform::fake::clearAddedResources(); }
};

TEST_F(ImageLoad, ReadsTheBigEndianHeaderOfAWidePicture) {
    // 65 x 300 in one run of 153 and then runs of 255: the side panel's shape.
    std::vector<std::uint8_t> bytes = {'p', 'v', 'b', '/', 'r', 'l', 'e', 0x00, 0x41, 0x01, 0x2C};
    int left = 65 * 300;
    bytes.insert(bytes.end(), {0xFF, 191, 153});
    left -= 153;
    while (left > 0) {
        int n = left < 255 ? left : 255;
        bytes.insert(bytes.end(), {0xFF, 134, static_cast<std::uint8_t>(n)});
        left -= n;
    }
    platform::fake::addResource(platform::ResourceType::RcData, 9001, bytes);
    Image image;
    ASSERT_TRUE(image.load(9001));
    EXPECT_EQ(image.width, 65);
    EXPECT_EQ(image.height, 300);
    EXPECT_EQ(image.pixels[152], 191);
    EXPECT_EQ(image.pixels[153], 134);
    EXPECT_EQ(image.pixels[65 * 300 - 1], 134);
}

TEST_F(ImageLoad, MissingResourceLeavesTheImageAsItWas) {
    Image image;
    std::vector<std::uint8_t> before = pixelsOf(image);
    EXPECT_FALSE(image.load(9002));
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(pixelsOf(image), before);
}

TEST_F(ImageLoad, ResourceConstructorLoads) {
    platform::fake::addResource(platform::ResourceType::RcData, 9003,
                                {'p', 'v', 'b', '/', 'r', 'l', 'e', 0, 2, 0, 1, 5, 6});
    Image image(9003);
    EXPECT_EQ(pixelsOf(image), (std::vector<std::uint8_t>{5, 6}));
}

// A "pvb/rle" resource of width x height whose stream codes `pixels` pixels
// of index 7 in runs of at most 255.
std::vector<std::uint8_t> rlePicture(int width, int height, int pixels) {
    std::vector<std::uint8_t> bytes = {'p', 'v', 'b', '/', 'r', 'l', 'e'};
    for (int size : {width, height}) bytes.insert(bytes.end(), {std::uint8_t(size >> 8), std::uint8_t(size)});
    for (; pixels > 0; pixels -= 255) bytes.insert(bytes.end(), {0xFF, 7, std::uint8_t(std::min(pixels, 255))});
    return bytes;
}

std::vector<std::uint8_t> withStream(std::vector<std::uint8_t> header, std::vector<std::uint8_t> stream) {
    header.insert(header.end(), stream.begin(), stream.end());
    return header;
}

TEST_F(ImageLoad, RefusesWhatIsNoWholePictureOfAUsableSizeBeforeAllocating) {
    const std::vector<std::uint8_t> oneByTwo = rlePicture(2, 1, 0);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"a header asking for 65535 x 65535", {'p', 'v', 'b', '/', 'r', 'l', 'e', 0xFF, 0xFF, 0xFF, 0xFF}},
        {"65535 x 65535 with a stream", rlePicture(65535, 65535, 70000)},
        {"one row more than the screen", rlePicture(400, 301, 400 * 301)},
        {"another signature", withStream({'p', 'v', 'b', '/', 'b', 'm', 'p', 0, 2, 0, 1}, {5, 6})},
        {"too short for its header", {'p', 'v', 'b', '/', 'r', 'l', 'e', 0, 2, 0}},
        {"a stream one pixel short", withStream(oneByTwo, {5})},
        {"an empty stream", oneByTwo},
        {"a run token cut off", withStream(oneByTwo, {5, 0xFF, 6})},
        {"a run of count 0", withStream(oneByTwo, {5, 0xFF, 6, 0})},
    };
    for (const Case& c : cases) {
        platform::fake::addResource(platform::ResourceType::RcData, 9004, c.bytes);
        Image image;
        std::uint8_t* before = image.pixels;
        std::size_t allocatedBefore = arraysAllocated;
        EXPECT_FALSE(image.loadRle(9004)) << c.name;
        EXPECT_EQ(arraysAllocated, allocatedBefore) << c.name;
        EXPECT_EQ(image.pixels, before) << c.name;
        EXPECT_EQ(image.width, 16) << c.name;
        EXPECT_EQ(image.height, 16) << c.name;
    }
}

TEST_F(ImageLoad, LoadsWhatFillsItsSizeUpToTheScreen) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int width, height;
    };
    const Case cases[] = {
        {"the screen's size", rlePicture(400, 300, 400 * 300), 400, 300},
        {"a last run that overshoots", rlePicture(3, 2, 255), 3, 2},
        {"trailing bytes", withStream(rlePicture(2, 1, 2), {1, 2, 3}), 2, 1},
        {"no pixels at all", rlePicture(0, 65535, 0), 0, 65535},
    };
    for (const Case& c : cases) {
        platform::fake::addResource(platform::ResourceType::RcData, 9005, c.bytes);
        Image image;
        ASSERT_TRUE(image.loadRle(9005)) << c.name;
        EXPECT_EQ(image.width, c.width) << c.name;
        EXPECT_EQ(image.height, c.height) << c.name;
        EXPECT_EQ(pixelsOf(image), std::vector<std::uint8_t>(std::size_t(c.width) * c.height, 7)) << c.name;
    }
}

}  // namespace
