#include <gtest/gtest.h>

#include "gfx/sprite.h"

namespace {

TEST(Sprite, ContainsPointIsStrict) {
    Sprite sprite;
    sprite.x = 30;
    sprite.y = 270;
    sprite.setHitBox(0, 0, 35, 25);
    struct Case {
        int px, py;
        bool inside;
    };
    const Case cases[] = {{31, 271, true},  {64, 294, true},  {30, 280, false},
                          {65, 280, false}, {40, 270, false}, {40, 295, false}};
    for (const Case& c : cases) EXPECT_EQ(sprite.containsPoint(c.px, c.py), c.inside) << c.px << "," << c.py;
}

TEST(Sprite, OverlapsIsStrict) {
    Sprite sprite;
    sprite.x = 100;
    sprite.y = 50;
    sprite.setHitBox(0, 0, 10, 10);  // 100..110 x 50..60
    struct Case {
        Rect r;
        bool overlap;
    };
    const Case cases[] = {
        {{110, 50, 120, 60}, false},  // touches the right edge
        {{90, 50, 100, 60}, false},   // touches the left edge
        {{100, 60, 110, 70}, false},  // touches the bottom edge
        {{100, 40, 110, 50}, false},  // touches the top edge
        {{109, 59, 120, 70}, true},   // one pixel in
        {{90, 40, 101, 51}, true},
        {{102, 52, 104, 54}, true},   // inside
        {{0, 0, 400, 300}, true},     // around
    };
    for (const Case& c : cases)
        EXPECT_EQ(sprite.overlaps(c.r), c.overlap) << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
}

TEST(Sprite, TestsFollowThePositionAndIgnoreHidden) {
    Sprite sprite;
    sprite.setHitBox(2, 3, 12, 13);
    sprite.hidden = true;
    EXPECT_TRUE(sprite.containsPoint(5, 5));
    sprite.x = 100;
    EXPECT_FALSE(sprite.containsPoint(5, 5));
    const Rect& r = sprite.hitRect();
    EXPECT_EQ(r.left, 102);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.right, 112);
    EXPECT_EQ(r.bottom, 13);
    EXPECT_TRUE(sprite.overlaps({105, 5, 106, 6}));
}

TEST(Sprite, HiddenSpriteIsNotDrawn) {
    Sprite sprite;  // the 16 x 16 placeholder
    Image screen(20, 20);
    screen.fillRect(0, 0, 20, 20, 7);
    sprite.x = 2;
    sprite.y = 2;
    sprite.hidden = true;
    sprite.draw(screen);
    EXPECT_EQ(screen.pixels[2 * 20 + 2], 7);
    sprite.hidden = false;
    sprite.draw(screen);
    EXPECT_EQ(screen.pixels[2 * 20 + 2], 0);
    EXPECT_EQ(screen.pixels[3 * 20 + 3], 255);
}

}  // namespace
