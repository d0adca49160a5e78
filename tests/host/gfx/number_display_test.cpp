#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gfx/number_display.h"

namespace {

// Ten 7 x 11 digit images, digit d filled with index d + 1, and a target
// cleared to 0: the column where each digit starts shows which digit it is.
struct DigitRow {
    DigitRow() {
        for (int d = 0; d < 10; ++d) {
            owned[d] = std::make_unique<Image>(7, 11);
            owned[d]->fillRect(0, 0, 7, 11, static_cast<std::uint8_t>(d + 1));
            digits[d] = owned[d].get();
        }
        target.fillRect(0, 0, 400, 40, 0);
    }

    // Left edges of the digits drawn on the top row.
    std::vector<int> starts() const {
        std::vector<int> result;
        for (int x = 0; x < 400; ++x) {
            if (target.pixels[x] != 0 && (x == 0 || target.pixels[x - 1] == 0)) result.push_back(x);
        }
        return result;
    }

    std::unique_ptr<Image> owned[10];
    const Image* digits[10] = {};
    Image target{400, 40};
};

TEST(NumberDisplay, CentredRowsWithTheWorldsSpacing) {
    struct Case {
        std::int32_t value;
        std::vector<int> starts;
    };
    const Case cases[] = {
        {0, {363}}, {7, {363}}, {10, {358, 367}}, {999, {354, 363, 372}}, {12345, {345, 354, 363, 372, 381}},
    };
    for (const Case& c : cases) {
        DigitRow row;
        NumberDisplay display(row.digits);
        display.spacing = 2;
        display.alignment = 0;
        display.setPosition(367, 18);
        display.draw(row.target, c.value);
        // Digits sit on row 18, so read the starts there.
        std::vector<int> starts;
        for (int x = 0; x < 400; ++x) {
            std::uint8_t p = row.target.pixels[18 * 400 + x];
            if (p != 0 && (x == 0 || row.target.pixels[18 * 400 + x - 1] == 0)) starts.push_back(x);
        }
        EXPECT_EQ(starts, c.starts) << c.value;
        EXPECT_EQ(row.target.pixels[17 * 400 + c.starts[0]], 0) << "drawn above its anchor";
    }
}

TEST(NumberDisplay, DrawsEachDigitsOwnImage) {
    DigitRow row;
    NumberDisplay display(row.digits);
    display.setPosition(0, 0);
    display.draw(row.target, 9052);
    EXPECT_EQ(row.target.pixels[0], 10);  // 9
    EXPECT_EQ(row.target.pixels[7], 1);   // 0
    EXPECT_EQ(row.target.pixels[14], 6);  // 5
    EXPECT_EQ(row.target.pixels[21], 3);  // 2
    EXPECT_EQ(row.target.pixels[28], 0);
}

TEST(NumberDisplay, Alignments) {
    struct Case {
        std::int32_t alignment;
        int firstStart;
    };
    // Three digits with advance 9 anchored at 100.
    const Case cases[] = {{0, 100 - 27 / 2}, {1, 100}, {2, 100 - 27}, {3, 100}, {-1, 100}};
    for (const Case& c : cases) {
        DigitRow row;
        NumberDisplay display(row.digits);
        display.spacing = 2;
        display.alignment = c.alignment;
        display.setPosition(100, 0);
        display.draw(row.target, 123);
        EXPECT_EQ(row.starts().front(), c.firstStart) << c.alignment;
    }
}

}  // namespace
