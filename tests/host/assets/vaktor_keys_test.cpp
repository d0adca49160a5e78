// The Vaktor figure loses one keypad key per hit by a 6 x 6 square painted in
// the face's green. The picture must be drawn so that each square wipes out
// exactly one whole key and nothing else of the face.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/image.h"

namespace {

constexpr int VAKTOR = 136;
constexpr std::uint8_t GREEN = 134;
constexpr std::uint8_t WHITE = 15;
constexpr std::uint8_t KEY_SHADOW = 10;  // the grey at a key's lower and right edge
constexpr int SIDE = 6;

struct Square {
    int x, y;
};

// In the order the keys disappear: 1-9, then 0.
constexpr Square keySquares[] = {{9, 4},  {15, 4},  {21, 4},  {9, 10}, {15, 10},
                                 {21, 10}, {9, 16}, {15, 16}, {21, 16}, {15, 21}};

bool inSquare(const Square& s, int x, int y) { return x >= s.x && x < s.x + SIDE && y >= s.y && y < s.y + SIDE; }

int countInSquares(int x, int y) {
    int n = 0;
    for (const Square& s : keySquares) n += inSquare(s, x, y);
    return n;
}

std::uint8_t at(const Image& image, int x, int y) { return image.pixels[y * image.width + x]; }

TEST(VaktorKeys, EachSquareWipesOutOneWholeKeyAndNothingElse) {
    Image figure(VAKTOR);
    ASSERT_EQ(figure.width, 37);
    ASSERT_EQ(figure.height, 49);
    for (const Square& square : keySquares) {
        SCOPED_TRACE(testing::Message() << "square (" << square.x << ", " << square.y << ")");
        std::vector<std::uint8_t> before(figure.pixels, figure.pixels + figure.width * figure.height);
        figure.fillRect(square.x, square.y, SIDE, SIDE, GREEN);
        int white = 0;
        for (int y = square.y; y < square.y + SIDE; ++y)
            for (int x = square.x; x < square.x + SIDE; ++x) {
                if (before[y * figure.width + x] == GREEN) continue;
                // A key pixel that another square also covers would belong to two keys,
                // or be wiped out by the wrong hit.
                EXPECT_EQ(countInSquares(x, y), 1) << "key pixel (" << x << ", " << y << ") lies in two squares";
                std::uint8_t colour = before[y * figure.width + x];
                EXPECT_TRUE(colour == WHITE || colour == KEY_SHADOW)
                    << "(" << x << ", " << y << ") is not part of a key but " << int(colour);
                white += colour == WHITE;
            }
        EXPECT_GE(white, 16) << "the square must hold a whole white key";
    }

    // With every key gone the keypad is plain green, and no key reached beyond
    // its square into the face around it.
    for (int y = 3; y <= 27; ++y)
        for (int x = 8; x <= 27; ++x) {
            std::uint8_t colour = at(figure, x, y);
            bool keypad = x >= 9 && x < 27 && y >= 4 && y < 27;
            if (keypad) {
                EXPECT_EQ(colour, GREEN) << "(" << x << ", " << y << ")";
            }
            EXPECT_TRUE(colour != WHITE && colour != KEY_SHADOW) << "key left at (" << x << ", " << y << ")";
        }
}

}  // namespace
