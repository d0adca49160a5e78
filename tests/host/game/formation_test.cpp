#include <gtest/gtest.h>

#include "game_fixture.h"
#include "res/resource_ids.h"

namespace {

// A formation with what its update needs: a signal that is not flying, a
// Servobot still protected (never drawn), four standing figures in their places.
class FormationTest : public GameTest {
protected:
    FormationTest() {
        for (int i = 0; i < 4; ++i) {
            figures[i].x = 30 + 75 * i;
            figures[i].y = 215;
            figures[i].setHitBox(0, 0, 37, 30);
        }
        servobot.setHitBox(0, 0, 35, 25);
    }
    void update(int speedLevel = 1) { formation.update(signal, servobot, row.figures, speedLevel, play.rules); }
    void updateTimes(int n, int speedLevel = 1) {
        for (int i = 0; i < n; ++i) update(speedLevel);
    }
    // A block of the one tile at formation x, the offsets otherwise 0.
    void oneTileAt(int x, int offsetX) {
        emptyFormation(formation);
        formation.tiles.push_back(makeTile(formation, 3, x, 10));
        formation.offsetX = offsetX;
    }

    Play play{scoreIntegrityFlag, random, cueEvents};
    Signal& signal = play.signal;
    Servobot& servobot = play.servobot;
    VaktorFigure (&figures)[4] = play.figures;
    FigureRow row{figures};
    GuardedValue& score = play.score;
    TileFormation formation{random};
};

TEST_F(FormationTest, AFreshBlockOfFortyTilesNewestFirst) {
    ASSERT_EQ(formation.tiles.size(), 40u);
    const DigitTile* first = formation.tiles.front().get();
    const DigitTile* last = formation.tiles.back().get();
    EXPECT_EQ(first->x, 220);
    EXPECT_EQ(first->y, 130);
    EXPECT_EQ(last->x, 10);
    EXPECT_EQ(last->y, 10);
    EXPECT_EQ(formation.lowLimit(), 180);
}

TEST_F(FormationTest, TheFirstWallIsMetInThe72ndUpdate) {
    updateTimes(71, 4);
    EXPECT_EQ(formation.offsetX, 71);
    EXPECT_EQ(formation.offsetY, 0);
    EXPECT_EQ(formation.blockVelocity(), 1);
    update(4);
    EXPECT_EQ(formation.offsetY, 3);
    EXPECT_EQ(formation.blockVelocity(), -4);
    EXPECT_EQ(formation.offsetX, 67);
    update(4);
    EXPECT_EQ(formation.offsetY, 3);
}

TEST_F(FormationTest, TheBlockStopsDescendingAtTheLowLimit) {
    // Lowest row at 130 + 48 = 178 on screen: one more step (to 181) is allowed.
    formation.offsetY = 48;
    formation.offsetX = 71;
    update();
    EXPECT_EQ(formation.offsetY, 51);
    formation.offsetX = 71;
    update();
    EXPECT_EQ(formation.offsetY, 51);
    formation.extendDescent();
    formation.offsetX = 71;
    update();
    EXPECT_EQ(formation.offsetY, 54);
}

TEST_F(FormationTest, ATileDivesAfter100FramesTowardsTheMiddle) {
    struct Case {
        int offsetX;  // the tile at formation x 100 stands at 100 + offsetX + 1 after the block's move
        int velocity;
    };
    for (const Case& c : {Case{69, +6}, Case{70, -6}}) {
        oneTileAt(100, c.offsetX);
        formation.diveTimer = 100;
        update(3);
        ASSERT_NE(formation.divingTile(), nullptr);
        EXPECT_TRUE(formation.isEmpty());
        EXPECT_EQ(formation.divingVelocity, c.velocity) << "tile at screen x " << 100 + c.offsetX + 1;
        EXPECT_EQ(formation.divingTile()->x, 100 + c.offsetX + 1);
        EXPECT_EQ(formation.diveTimer, 0);
    }
}

TEST_F(FormationTest, TheNextDiveComes101FramesAfterTheDivingTileIsGone) {
    updateTimes(100);
    EXPECT_EQ(formation.divingTile(), nullptr);
    update();
    ASSERT_NE(formation.divingTile(), nullptr);
    EXPECT_EQ(formation.tiles.size(), 39u);

    formation.diving->x = 330;
    formation.divingVelocity = 0;
    update();
    EXPECT_EQ(formation.divingTile(), nullptr);
    updateTimes(100);
    EXPECT_EQ(formation.divingTile(), nullptr);
    update();
    EXPECT_NE(formation.divingTile(), nullptr);
}

TEST_F(FormationTest, ADivingTileFallsToTheLowLimitAndKeepsThatHeight) {
    oneTileAt(100, 0);
    formation.diveTimer = 100;
    update(5);
    DigitTile& diving = *formation.diving;
    formation.divingVelocity = 0;
    diving.y = 175;
    update(5);
    EXPECT_EQ(diving.y, 180);
    update(5);
    EXPECT_EQ(diving.y, 180);
    formation.extendDescent();
    update(5);
    EXPECT_EQ(diving.y, 190);
    diving.y = 250;
    formation.restrictDescent();
    update(5);
    EXPECT_EQ(diving.y, 180);
}

TEST_F(FormationTest, TheFirstStarComesInThe32ndUpdate) {
    updateTimes(31);
    EXPECT_FALSE(formation.star->active());
    cueEvents.clear();
    update();
    EXPECT_TRUE(formation.star->active());
    EXPECT_EQ(cues(), std::vector<int>{IDS_IMPULSE});
    // Launched from a tile's top edge and moved once: 5 below some row.
    EXPECT_EQ((formation.star->y - 5 - 10) % 30, 0);
}

TEST_F(FormationTest, ABlockOfTwoTilesLaunchesNoStar) {
    for (int tiles : {2, 3}) {
        TileFormation few(random);
        emptyFormation(few);
        for (int i = 0; i < tiles; ++i) few.tiles.push_back(makeTile(few, 1, 10 + 30 * i, 10));
        // The star is due in the 32nd frame (see above).
        for (int frame = 1; frame <= 32; ++frame) few.update(signal, servobot, row.figures, 1, play.rules);
        EXPECT_EQ(few.star->active(), tiles > 2) << tiles << " tiles";
    }
}

TEST_F(FormationTest, TheFirstSquareComesInTheSeventhFrameOfADive) {
    updateTimes(101);
    ASSERT_NE(formation.divingTile(), nullptr);
    updateTimes(5);
    EXPECT_FALSE(formation.square->active());
    update();
    ASSERT_TRUE(formation.square->active());
    EXPECT_EQ(formation.square->x, formation.diving->x + 4);
    EXPECT_EQ(formation.square->y, formation.diving->y + 7);
    EXPECT_TRUE(formation.diving->flashFlag());
}

TEST_F(FormationTest, ASquareFallingOffTheBottomIsRelaunchedInTheSameFrame) {
    oneTileAt(100, 0);
    formation.diveTimer = 100;
    update();
    formation.divingVelocity = 0;
    Impulse& square = *formation.square;
    square.hidden = false;
    square.x = 5;  // clear of the figures
    square.y = 285;
    update();
    EXPECT_TRUE(square.active());
    EXPECT_EQ(square.y, 290);
    update();
    EXPECT_TRUE(square.active());
    EXPECT_EQ(square.y, formation.diving->y + 7);
}

TEST_F(FormationTest, AFigureAbsorbsAnImpulse) {
    Impulse& star = *formation.star;
    star.hidden = false;
    star.x = 40;
    star.y = 201;  // falls to 206: its hit box (206 .. 215) and the figure's (215 ..) only touch
    update();
    EXPECT_TRUE(star.active());
    update();
    EXPECT_FALSE(star.active());
    EXPECT_EQ(star.reloadTimer(), 0);
    EXPECT_EQ(figures[0].hitsLeft(), 10);
}

}  // namespace
