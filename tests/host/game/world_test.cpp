#include <gtest/gtest.h>

#include <algorithm>

#include "game/code_store.h"
#include "game/key_latches.h"
#include "game_fixture.h"
#include "platform/host_control.h"
#include "res/resource_ids.h"

namespace {

class WorldTest : public GameTest {
protected:
    void updateTimes(int n) {
        for (int i = 0; i < n; ++i) world.update();
    }
    void clearLevel() {
        emptyFormation(*world.formation);
        world.update();
    }
    // Puts a diving tile onto the unprotected Servobot.
    void touchWithDivingTile() {
        world.servobot.isProtected = false;
        TileFormation& formation = *world.formation;
        formation.extendDescent();
        formation.diving.reset(makeTile(formation, 5, world.servobot.x, 268));
        formation.divingVelocity = 0;
    }
    int lives() { return world.livesDisplay->value(); }

    World world;
};

TEST_F(WorldTest, ANewGameStartsWithScoreZeroFourLivesLevelOne) {
    EXPECT_EQ(world.scoreDisplay->value(), 0);
    EXPECT_EQ(lives(), 4);
    EXPECT_EQ(world.levelDisplay->value(), 1);
    EXPECT_EQ(cues(), std::vector<int>{IDS_NEW_WORLD});
    EXPECT_EQ(world.formation->count, 40);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(world.vaktorFigures[i].x, 30 + 75 * i);
        EXPECT_EQ(world.vaktorFigures[i].y, 215);
        EXPECT_EQ(world.vaktorFigures[i].hitsLeft, 11);
    }
}

TEST_F(WorldTest, ANewWorldEmptiesTheCodeStoreAndClearsHeldKeys) {
    codeStore.recordHit(3, *world.scoreDisplay);
    keyLatches.rightPressed = 1;
    World next;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(codeStore.entry(i), -1);
    next.update();
    EXPECT_EQ(next.servobot.x, 30);
}

TEST_F(WorldTest, SpeedRisesEvery601UpdatesUpToTen) {
    // Tiles that dive away empty the block in the long run; keep them in, so
    // that no level is cleared.
    auto updateWithoutDives = [&](int n) {
        for (int i = 0; i < n; ++i) {
            world.formation->diveTimer = 0;
            world.update();
        }
    };
    updateWithoutDives(600);
    EXPECT_EQ(world.speedLevel, 1);
    updateWithoutDives(1);
    EXPECT_EQ(world.speedLevel, 2);
    updateWithoutDives(5408 - 601);
    EXPECT_EQ(world.speedLevel, 9);
    updateWithoutDives(1);
    EXPECT_EQ(world.speedLevel, 10);
    updateWithoutDives(1300);
    EXPECT_EQ(world.speedLevel, 10);
    EXPECT_EQ(world.levelDisplay->value(), 1);
}

TEST_F(WorldTest, ClearedLevelsShortenTheSpeedStepAndGiveExtraLives) {
    for (int cleared = 1; cleared <= 21; ++cleared) {
        clearLevel();
        int level = cleared + 1;
        EXPECT_EQ(world.levelDisplay->value(), level);
        EXPECT_EQ(world.ticksPerSpeedStep, std::max(600 - 30 * cleared, 30)) << "after " << cleared << " levels";
        EXPECT_EQ(world.speedLevel, 1);
        EXPECT_EQ(lives(), 4 + (level >= 10) + (level >= 20)) << "at level " << level;
        EXPECT_EQ(world.formation->count, 40);
    }
    updateTimes(30);
    EXPECT_EQ(world.speedLevel, 1);
    updateTimes(1);
    EXPECT_EQ(world.speedLevel, 2);
}

TEST_F(WorldTest, ARunOfDigitsContinuesAcrossLevels) {
    codeStore.recordHit(7, *world.scoreDisplay);
    clearLevel();
    codeStore.recordHit(7, *world.scoreDisplay);
    EXPECT_EQ(world.levelDisplay->value(), 2);
    EXPECT_EQ(world.scoreDisplay->value(), 7 + 21);
}

TEST_F(WorldTest, ATileTouchCostsALifeAndTheFormation) {
    std::uint32_t built = world.formationsBuilt;
    world.speedLevel = 5;
    touchWithDivingTile();
    platform::host::clearStartedCues();
    world.update();
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(world.formationsBuilt, built + 1);
    EXPECT_EQ(world.formation->count, 40);
    EXPECT_EQ(world.formation->divingTile(), nullptr);
    EXPECT_EQ(world.speedLevel, 1);
    EXPECT_FALSE(world.servobot.hidden);
    EXPECT_TRUE(world.servobot.isProtected);
    EXPECT_EQ(cues(), std::vector<int>{IDS_LIFE_LOST});
}

TEST_F(WorldTest, AnImpulseHitCostsALifeButKeepsTheFormation) {
    world.servobot.isProtected = false;
    Impulse& square = *world.formation->square;
    square.hidden = false;
    square.x = world.servobot.x + 5;
    square.y = 262;
    std::uint32_t built = world.formationsBuilt;
    world.update();
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(world.formationsBuilt, built);
    EXPECT_FALSE(world.servobot.killedByImpulse);
    // The square falls on through the figure's row.
    EXPECT_TRUE(square.active());
}

TEST_F(WorldTest, TheLastLifeEndsTheGameInTheSameUpdate) {
    for (int life = 4; life >= 1; --life) {
        EXPECT_EQ(world.gameOver, 0);
        touchWithDivingTile();
        world.update();
        EXPECT_EQ(lives(), life - 1);
    }
    EXPECT_EQ(world.gameOver, 1);
    // Play goes on behind the closing questions; lives stay at 0.
    touchWithDivingTile();
    world.update();
    EXPECT_EQ(lives(), 0);
    EXPECT_EQ(world.gameOver, 1);
}

// A tile of the block touches the Servobot where it is seen, with the
// formation's offsets applied.
TEST_F(WorldTest, ABlockThatReachesTheServobotCostsALife) {
    struct Case {
        int lowestTileTop;  // on screen
        int livesAfter;
    };
    for (const Case& c : {Case{245, 4}, Case{246, 3}, Case{268, 3}}) {
        World game;
        game.servobot.isProtected = false;
        TileFormation& formation = *game.formation;
        formation.extendDescent();
        formation.offsetX = 20;  // the left column, at formation x 10, over the Servobot at 30
        formation.offsetY = c.lowestTileTop - 130;
        std::uint32_t built = game.formationsBuilt;
        game.update();
        EXPECT_EQ(game.livesDisplay->value(), c.livesAfter) << "lowest tile top " << c.lowestTileTop;
        EXPECT_EQ(game.formationsBuilt, built + (c.livesAfter < 4 ? 1 : 0));
    }
}

TEST_F(WorldTest, VaktorFiguresComeBackEvery2000Points) {
    world.vaktorFigures[1].takeHit();
    world.formation->extendDescent();
    world.scoreDisplay->setValue(1999);
    world.update();
    EXPECT_EQ(world.vaktorRenewals, 0);
    EXPECT_EQ(world.vaktorFigures[1].hitsLeft, 10);

    world.scoreDisplay->setValue(2000);
    world.update();
    EXPECT_EQ(world.vaktorRenewals, 1);
    EXPECT_EQ(world.vaktorFigures[1].hitsLeft, 11);
    EXPECT_EQ(world.formation->lowLimit, 180);

    world.scoreDisplay->setValue(3999);
    updateTimes(3);
    EXPECT_EQ(world.vaktorRenewals, 1);
    world.scoreDisplay->setValue(4000);
    world.update();
    EXPECT_EQ(world.vaktorRenewals, 2);
}

TEST_F(WorldTest, AScoreJumpPastTwoStepsRestoresOncePerFrame) {
    world.scoreDisplay->setValue(1990);
    world.update();
    world.scoreDisplay->setValue(4010);
    world.update();
    EXPECT_EQ(world.vaktorRenewals, 1);
    world.update();
    EXPECT_EQ(world.vaktorRenewals, 2);
    world.update();
    EXPECT_EQ(world.vaktorRenewals, 2);
}

TEST_F(WorldTest, NoStandingFigureLetsTheBlockDescendToTheServobot) {
    for (VaktorFigure& figure : world.vaktorFigures) {
        for (int hit = 0; hit < 11; ++hit) figure.takeHit();
    }
    world.update();
    EXPECT_EQ(world.formation->lowLimit, 268);
}

TEST_F(WorldTest, TheServobotMovesInStepsOfFourBetween2And294) {
    keyLatches.rightPressed = 1;
    updateTimes(65);
    EXPECT_EQ(world.servobot.x, 290);
    updateTimes(1);
    EXPECT_EQ(world.servobot.x, 294);
    updateTimes(5);
    EXPECT_EQ(world.servobot.x, 294);

    // Both arrows held: right wins and no left step follows.
    keyLatches.leftPressed = 1;
    world.update();
    EXPECT_EQ(world.servobot.x, 294);

    keyLatches.rightReleased = 1;
    world.servobot.x = 30;
    updateTimes(6);
    EXPECT_EQ(world.servobot.x, 6);
    updateTimes(1);
    EXPECT_EQ(world.servobot.x, 2);
    updateTimes(3);
    EXPECT_EQ(world.servobot.x, 2);
}

TEST_F(WorldTest, FireLaunchesOneSignalFromAboveTheServobot) {
    world.servobot.x = 130;  // between two Vaktor figures, so nothing stops the signal early
    keyLatches.firePressed = 1;
    platform::host::clearStartedCues();
    world.update();
    EXPECT_FALSE(world.signal.hidden);
    EXPECT_EQ(world.signal.x, 140);
    EXPECT_EQ(world.signal.y, 243);
    EXPECT_EQ(cues(), std::vector<int>{IDS_SIGNAL});

    // Held fire while the signal flies neither restarts it nor plays again.
    world.update();
    EXPECT_EQ(world.signal.y, 236);
    EXPECT_EQ(cues(), std::vector<int>{IDS_SIGNAL});
}

TEST_F(WorldTest, RenderDrawsPlayfieldDividerPanelAndCodeStore) {
    codeStore.recordHit(4, *world.scoreDisplay);
    world.render(nullptr);
    EXPECT_EQ(pixel(0, 0), faceGreen);
    EXPECT_EQ(pixel(332, 299), faceGreen);
    EXPECT_EQ(pixel(333, 150), 0);
    EXPECT_EQ(pixel(334, 150), 0);
    EXPECT_EQ(pixel(399, 0), 191);
    EXPECT_EQ(pixel(355, 236), tileColour);   // newest code at the bottom
    EXPECT_EQ(pixel(355, 208), 191);          // no older codes yet
    EXPECT_EQ(pixel(31, 216), vaktorColour);
    EXPECT_EQ(pixel(31, 271), servobotColour);  // drawn on the first, odd, count
}

TEST_F(WorldTest, RenderWithoutAFrameBufferDrawsNothing) {
    frameBufferBits = nullptr;
    world.render(nullptr);
    EXPECT_FALSE(world.screen->boundToFrameBuffer);
    EXPECT_EQ(world.servobot.blinkCounter, 0);
}

}  // namespace
