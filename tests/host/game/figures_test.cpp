#include <gtest/gtest.h>

#include "game/servobot.h"
#include "game/signal.h"
#include "game/vaktor_figure.h"
#include "game_fixture.h"
#include "res/resource_ids.h"

namespace {

using FiguresTest = GameTest;

TEST_F(FiguresTest, TheServobotBlinksForFortyDrawnFramesAfterAReset) {
    Servobot servobot;
    Image screen(400, 300);
    for (int drawn = 1; drawn <= 45; ++drawn) {
        screen.fillRect(0, 0, 400, 300, 0);
        servobot.countDrawnFrame();
        servobot.draw(screen);
        bool visible = screen.pixels[271 * 400 + 31] == servobotColour;
        EXPECT_EQ(visible, drawn > 40 || drawn % 2 == 1) << "drawn frame " << drawn;
        EXPECT_EQ(servobot.isProtected(), drawn <= 40) << "drawn frame " << drawn;
    }
    servobot.hidden = true;
    servobot.reset();
    EXPECT_TRUE(servobot.isProtected());
    EXPECT_EQ(servobot.blinkCounter(), 0);
}

TEST_F(FiguresTest, ASignalFliesFrom243AndIsGoneAtItsThirtyFifthUpdate) {
    Signal signal;
    ASSERT_TRUE(signal.hidden);
    signal.fire(30, 270, cueEvents);
    EXPECT_EQ(cues(), std::vector<int>{IDS_SIGNAL});
    EXPECT_EQ(signal.x, 40);
    for (int update = 1; update <= 34; ++update) {
        signal.update();
        ASSERT_FALSE(signal.hidden) << "update " << update;
        EXPECT_EQ(signal.y, 250 - 7 * update);
    }
    EXPECT_EQ(signal.y, 12);
    signal.update();
    EXPECT_TRUE(signal.hidden);
    EXPECT_EQ(signal.y, 5);
}

TEST_F(FiguresTest, FiringWithASignalInFlightDoesNothing) {
    Signal signal;
    signal.fire(30, 270, cueEvents);
    signal.update();
    signal.fire(100, 270, cueEvents);
    EXPECT_EQ(signal.x, 40);
    EXPECT_EQ(signal.y, 243);
    EXPECT_EQ(cues().size(), 1u);
}

TEST_F(FiguresTest, VaktorKeysGoInKeypadOrderAndTheEleventhHitRemovesTheFigure) {
    VaktorFigure figure;
    // Key squares in the order they are wiped out: 1 to 9, then 0.
    const int keys[10][2] = {{9, 4},   {15, 4},  {21, 4},  {9, 10},  {15, 10},
                             {21, 10}, {9, 16},  {15, 16}, {21, 16}, {15, 21}};
    auto keyColour = [&](int key) { return figure.pixels[(keys[key][1] + 2) * figure.width + keys[key][0] + 2]; };
    for (int hit = 1; hit <= 10; ++hit) {
        figure.takeHit(cueEvents);
        EXPECT_EQ(figure.hitsLeft(), 11 - hit);
        EXPECT_FALSE(figure.hidden);
        for (int key = 0; key < 10; ++key) {
            EXPECT_EQ(keyColour(key), key < hit ? faceGreen : vaktorColour) << "key " << key << " after hit " << hit;
        }
    }
    figure.takeHit(cueEvents);
    EXPECT_EQ(figure.hitsLeft(), 0);
    EXPECT_TRUE(figure.hidden);
    EXPECT_EQ(cues(), std::vector<int>(11, IDS_VAKTOR_HIT));

    figure.takeHit(cueEvents);
    EXPECT_EQ(figure.hitsLeft(), 0);
    EXPECT_EQ(cues().size(), 11u);

    figure.restore();
    EXPECT_EQ(figure.hitsLeft(), 11);
    EXPECT_FALSE(figure.hidden);
    for (int key = 0; key < 10; ++key) EXPECT_EQ(keyColour(key), vaktorColour);
}

TEST_F(FiguresTest, ASignalCentreOnTheFiguresEdgePasses) {
    struct Case {
        int centreX;
        int centreY;
        bool hit;
    };
    // The figure at (30, 215) can be hit inside 30 < x < 67, 215 < y < 245.
    for (const Case& c : {Case{30, 230, false}, Case{31, 230, true}, Case{66, 230, true}, Case{67, 230, false},
                          Case{50, 215, false}, Case{50, 244, true}, Case{50, 245, false}}) {
        Play play(scoreIntegrityFlag, random, cueEvents);
        VaktorFigure figure;
        figure.x = 30;
        figure.y = 215;
        figure.setHitBox(0, 0, 37, 30);
        Signal& signal = play.signal;
        signal.hidden = false;
        signal.x = c.centreX - 4;
        signal.y = c.centreY - 8;
        figure.hitBySignal(signal, play.rules);
        EXPECT_EQ(figure.hitsLeft(), c.hit ? 10 : 11) << c.centreX << "," << c.centreY;
        EXPECT_EQ(signal.hidden, c.hit);
    }
}

}  // namespace
