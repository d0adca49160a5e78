#include <gtest/gtest.h>

#include <algorithm>

#include "game_fixture.h"
#include "res/resource_ids.h"

namespace {

class WorldTest : public GameTest {
protected:
    void updateTimes(int n) {
        for (int i = 0; i < n; ++i) world.update();
    }
    void clearLevel() {
        emptyFormation(world.formation());
        world.update();
    }
    // Puts a diving tile onto the unprotected Servobot.
    void touchWithDivingTile() {
        unprotect(world.servobot());
        TileFormation& formation = world.formation();
        formation.extendDescent();
        formation.diving = makeTile(formation, 5, world.servobot().x, 268);
        formation.divingVelocity = 0;
    }
    int lives() { return world.lives().value(); }

    World world{seed, keyLatches, scoreIntegrityFlag};
};

TEST_F(WorldTest, ANewGameStartsWithScoreZeroFourLivesLevelOne) {
    EXPECT_EQ(world.score().value(), 0);
    EXPECT_EQ(lives(), 4);
    EXPECT_EQ(world.level().value(), 1);
    EXPECT_EQ(world.takeCues(), CueEvents{IDS_NEW_WORLD});
    EXPECT_EQ(world.formation().tiles.size(), 40u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(world.vaktorFigures()[i].x, 30 + 75 * i);
        EXPECT_EQ(world.vaktorFigures()[i].y, 215);
        EXPECT_EQ(world.vaktorFigures()[i].hitsLeft(), 11);
    }
}

TEST_F(WorldTest, ANewWorldStartsWithAnEmptyCodeStoreAndClearsHeldKeysAndTheIntegrityFlag) {
    world.codeStore().recordHit(3);
    keyLatches.rightPressed = true;
    scoreIntegrityFlag = true;
    World next(seed, keyLatches, scoreIntegrityFlag);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(next.codeStore().entry(i), -1);
    EXPECT_FALSE(scoreIntegrityFlag);
    next.update();
    EXPECT_EQ(next.servobot().x, 30);
}

// Worlds played side by side (as on the threads of a server checking
// replays) each draw from their own generator: a world played alongside
// another makes the same random choices as one played alone.
TEST_F(WorldTest, WorldsPlayedSideBySideEachFollowTheirOwnSeed) {
    auto dives = [](World& played) {
        return played.formation().divingTile() ? played.formation().divingTile()->digit() : -1;
    };
    World alone(7, keyLatches, scoreIntegrityFlag);
    std::vector<int> aloneDives;
    for (int i = 0; i < 600; ++i) {
        alone.update();
        aloneDives.push_back(dives(alone));
    }
    World first(7, keyLatches, scoreIntegrityFlag);
    World second(8, keyLatches, scoreIntegrityFlag);
    std::vector<int> firstDives;
    for (int i = 0; i < 600; ++i) {
        first.update();
        second.update();
        firstDives.push_back(dives(first));
    }
    EXPECT_EQ(firstDives, aloneDives);
    EXPECT_EQ(first.random().state(), alone.random().state());
    EXPECT_NE(second.random().state(), alone.random().state());
}

TEST_F(WorldTest, SpeedRisesEvery601UpdatesUpToTen) {
    // Tiles that dive away empty the block in the long run; keep them in, so
    // that no level is cleared.
    auto updateWithoutDives = [&](int n) {
        for (int i = 0; i < n; ++i) {
            world.formation().diveTimer = 0;
            world.update();
        }
    };
    updateWithoutDives(600);
    EXPECT_EQ(world.rules().speedLevel(), 1);
    updateWithoutDives(1);
    EXPECT_EQ(world.rules().speedLevel(), 2);
    updateWithoutDives(5408 - 601);
    EXPECT_EQ(world.rules().speedLevel(), 9);
    updateWithoutDives(1);
    EXPECT_EQ(world.rules().speedLevel(), 10);
    updateWithoutDives(1300);
    EXPECT_EQ(world.rules().speedLevel(), 10);
    EXPECT_EQ(world.level().value(), 1);
}

TEST_F(WorldTest, ClearedLevelsShortenTheSpeedStepAndGiveExtraLives) {
    for (int cleared = 1; cleared <= 21; ++cleared) {
        clearLevel();
        int level = cleared + 1;
        EXPECT_EQ(world.level().value(), level);
        EXPECT_EQ(world.rules().ticksPerSpeedStep(), std::max(600 - 30 * cleared, 30))
            << "after " << cleared << " levels";
        EXPECT_EQ(world.rules().speedLevel(), 1);
        EXPECT_EQ(lives(), 4 + (level >= 10) + (level >= 20)) << "at level " << level;
        EXPECT_EQ(world.formation().tiles.size(), 40u);
    }
    updateTimes(30);
    EXPECT_EQ(world.rules().speedLevel(), 1);
    updateTimes(1);
    EXPECT_EQ(world.rules().speedLevel(), 2);
}

TEST_F(WorldTest, ARunOfDigitsContinuesAcrossLevels) {
    world.codeStore().recordHit(7);
    clearLevel();
    world.codeStore().recordHit(7);
    EXPECT_EQ(world.level().value(), 2);
    EXPECT_EQ(world.score().value(), 7 + 21);
}

TEST_F(WorldTest, ATileTouchCostsALifeAndTheFormation) {
    // Up to speed 2, with no tile diving (the Servobot, never drawn, stays protected).
    for (int i = 0; i < 601; ++i) {
        world.formation().diveTimer = 0;
        world.update();
    }
    ASSERT_EQ(world.rules().speedLevel(), 2);
    std::uint32_t built = world.rules().formationsBuilt();
    touchWithDivingTile();
    world.takeCues();
    world.update();
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(world.rules().formationsBuilt(), built + 1);
    EXPECT_EQ(world.formation().tiles.size(), 40u);
    EXPECT_EQ(world.formation().divingTile(), nullptr);
    EXPECT_EQ(world.rules().speedLevel(), 1);
    EXPECT_FALSE(world.servobot().hidden);
    EXPECT_TRUE(world.servobot().isProtected());
    EXPECT_EQ(world.takeCues(), CueEvents{IDS_LIFE_LOST});
}

TEST_F(WorldTest, AnImpulseHitCostsALifeButKeepsTheFormation) {
    unprotect(world.servobot());
    Impulse& square = *world.formation().square;
    square.hidden = false;
    square.x = world.servobot().x + 5;
    square.y = 262;
    std::uint32_t built = world.rules().formationsBuilt();
    world.update();
    EXPECT_EQ(lives(), 3);
    EXPECT_EQ(world.rules().formationsBuilt(), built);
    EXPECT_FALSE(world.servobot().killedByImpulse());
    // The square falls on through the figure's row.
    EXPECT_TRUE(square.active());
}

TEST_F(WorldTest, TheLastLifeEndsTheGameInTheSameUpdate) {
    for (int life = 4; life >= 1; --life) {
        EXPECT_FALSE(world.gameOver());
        touchWithDivingTile();
        world.update();
        EXPECT_EQ(lives(), life - 1);
    }
    EXPECT_TRUE(world.gameOver());
    // Play goes on behind the closing questions; lives stay at 0.
    touchWithDivingTile();
    world.update();
    EXPECT_EQ(lives(), 0);
    EXPECT_TRUE(world.gameOver());
}

// A tile of the block touches the Servobot where it is seen, with the
// formation's offsets applied.
TEST_F(WorldTest, ABlockThatReachesTheServobotCostsALife) {
    struct Case {
        int lowestTileTop;  // on screen
        int livesAfter;
    };
    for (const Case& c : {Case{245, 4}, Case{246, 3}, Case{268, 3}}) {
        World game(seed, keyLatches, scoreIntegrityFlag);
        unprotect(game.servobot());
        TileFormation& formation = game.formation();
        formation.extendDescent();
        formation.offsetX = 20;  // the left column, at formation x 10, over the Servobot at 30
        formation.offsetY = c.lowestTileTop - 130;
        std::uint32_t built = game.rules().formationsBuilt();
        game.update();
        EXPECT_EQ(game.lives().value(), c.livesAfter) << "lowest tile top " << c.lowestTileTop;
        EXPECT_EQ(game.rules().formationsBuilt(), built + (c.livesAfter < 4 ? 1 : 0));
    }
}

TEST_F(WorldTest, VaktorFiguresComeBackEvery2000Points) {
    world.vaktorFigures()[1].takeHit(cueEvents);
    world.formation().extendDescent();
    world.score().setValue(1999);
    world.update();
    EXPECT_EQ(world.rules().vaktorRenewals(), 0);
    EXPECT_EQ(world.vaktorFigures()[1].hitsLeft(), 10);

    world.score().setValue(2000);
    world.update();
    EXPECT_EQ(world.rules().vaktorRenewals(), 1);
    EXPECT_EQ(world.vaktorFigures()[1].hitsLeft(), 11);
    EXPECT_EQ(world.formation().lowLimit(), 180);

    world.score().setValue(3999);
    updateTimes(3);
    EXPECT_EQ(world.rules().vaktorRenewals(), 1);
    world.score().setValue(4000);
    world.update();
    EXPECT_EQ(world.rules().vaktorRenewals(), 2);
}

TEST_F(WorldTest, AScoreJumpPastTwoStepsRestoresOncePerFrame) {
    world.score().setValue(1990);
    world.update();
    world.score().setValue(4010);
    world.update();
    EXPECT_EQ(world.rules().vaktorRenewals(), 1);
    world.update();
    EXPECT_EQ(world.rules().vaktorRenewals(), 2);
    world.update();
    EXPECT_EQ(world.rules().vaktorRenewals(), 2);
}

TEST_F(WorldTest, NoStandingFigureLetsTheBlockDescendToTheServobot) {
    for (VaktorFigure& figure : world.vaktorFigures()) {
        for (int hit = 0; hit < 11; ++hit) figure.takeHit(cueEvents);
    }
    world.update();
    EXPECT_EQ(world.formation().lowLimit(), 268);
}

TEST_F(WorldTest, TheServobotMovesInStepsOfFourBetween2And294) {
    keyLatches.rightPressed = true;
    updateTimes(65);
    EXPECT_EQ(world.servobot().x, 290);
    updateTimes(1);
    EXPECT_EQ(world.servobot().x, 294);
    updateTimes(5);
    EXPECT_EQ(world.servobot().x, 294);

    // Both arrows held: right wins and no left step follows.
    keyLatches.leftPressed = true;
    world.update();
    EXPECT_EQ(world.servobot().x, 294);

    keyLatches.rightReleased = true;
    world.servobot().x = 30;
    updateTimes(6);
    EXPECT_EQ(world.servobot().x, 6);
    updateTimes(1);
    EXPECT_EQ(world.servobot().x, 2);
    updateTimes(3);
    EXPECT_EQ(world.servobot().x, 2);
}

TEST_F(WorldTest, FireLaunchesOneSignalFromAboveTheServobot) {
    world.servobot().x = 130;  // between two Vaktor figures, so nothing stops the signal early
    keyLatches.firePressed = true;
    world.takeCues();
    world.update();
    EXPECT_FALSE(world.signal().hidden);
    EXPECT_EQ(world.signal().x, 140);
    EXPECT_EQ(world.signal().y, 243);
    EXPECT_EQ(world.takeCues(), CueEvents{IDS_SIGNAL});

    // Held fire while the signal flies neither restarts it nor plays again.
    world.update();
    EXPECT_EQ(world.signal().y, 236);
    EXPECT_EQ(world.takeCues(), CueEvents{});
}

TEST_F(WorldTest, RenderDrawsPlayfieldDividerPanelReadoutsAndCodeStore) {
    world.codeStore().recordHit(4);
    world.render();
    const Image& screen = world.screen();
    EXPECT_EQ(pixel(screen, 0, 0), faceGreen);
    EXPECT_EQ(pixel(screen, 332, 299), faceGreen);
    EXPECT_EQ(pixel(screen, 333, 150), 0);
    EXPECT_EQ(pixel(screen, 334, 150), 0);
    EXPECT_EQ(pixel(screen, 399, 0), 191);
    EXPECT_EQ(pixel(screen, 355, 236), tileColour);  // newest code at the bottom
    EXPECT_EQ(pixel(screen, 355, 208), 191);         // no older codes yet
    EXPECT_EQ(pixel(screen, 31, 216), vaktorColour);
    EXPECT_EQ(pixel(screen, 31, 271), servobotColour);  // drawn on the first, odd, count
    // The score 4 as one digit centred at 367 (the test digits are of index 0).
    EXPECT_EQ(pixel(screen, 363, 60), 0);
    EXPECT_EQ(pixel(screen, 362, 60), 191);
}

// Drawing goes to the world's own screen whatever becomes of presenting it,
// so the clocks that only run while drawing (the Servobot's protection, a
// hit tile's blinking) never stop.
TEST_F(WorldTest, EveryRenderAdvancesTheDrawnFrameCounters) {
    for (int frame = 1; frame <= 41; ++frame) world.render();
    EXPECT_EQ(world.servobot().blinkCounter(), 41);
    EXPECT_FALSE(world.servobot().isProtected());
}

}  // namespace
