#include <gtest/gtest.h>

#include "game/frame_clock.h"
#include "game/game_session.h"
#include "game/world.h"
#include "game_fixture.h"
#include "res/resource_ids.h"

namespace {

// Hands out the seeds 1000, 1001, ... one per world built.
class SessionTest : public GameTest {
protected:
    std::uint32_t seedsAsked = 0;
    GameSession::SeedSource seeds = [this] { return GameSeed{seed + seedsAsked++, {}}; };
};

// The Servobot counts the frames it is drawn in: the one visible trace of a render.
int framesDrawn(GameSession& session) { return session.world->servobot().blinkCounter(); }

// A frame that the main loop's pass reached at `reached` and that runs at its
// due time (or at `reached`, when that is later).
void tickFrom(GameSession& session, std::uint32_t reached) {
    session.frameClock.beginTick(reached);
    std::uint32_t due = session.frameClock.dueTime();
    session.tick(static_cast<std::int32_t>(due - reached) > 0 ? due : reached);
}

TEST(FrameClock, FramesAreDueEvery40msFromTheStartWhenEverTheyRan) {
    FrameClock clock(0xFFFFFFF0u);  // the clock wraps during the game
    EXPECT_EQ(clock.dueTime(), 0xFFFFFFF0u);
    EXPECT_TRUE(clock.isDue(0xFFFFFFF0u));
    for (std::uint32_t n = 1; n <= 3; ++n) {
        clock.advance();
        std::uint32_t due = 0xFFFFFFF0u + 40 * n;
        EXPECT_EQ(clock.dueTime(), due);
        EXPECT_FALSE(clock.isDue(due - 1));
        EXPECT_TRUE(clock.isDue(due));
    }
    // A frame that ran 30 ms late leaves the next one due as before.
    EXPECT_EQ(clock.dueTime() + 40, 0xFFFFFFF0u + 160);
}

TEST(FrameClock, AResetMakesTheNextFrameDueAtOnce) {
    FrameClock clock(1000);
    for (int n = 0; n < 5; ++n) clock.advance();
    clock.reset(90000);
    EXPECT_EQ(clock.dueTime(), 90000u);
    EXPECT_EQ(clock.frameIndex, 5u);
    EXPECT_EQ(clock.startTime, 90000u - 200);
    clock.restart(95000);
    EXPECT_EQ(clock.dueTime(), 95000u);
    EXPECT_EQ(clock.frameIndex, 0u);
}

TEST_F(SessionTest, FrameZeroIsUpdatedButNeverDrawn) {
    GameSession session(1000, seeds, keyLatches, scoreIntegrityFlag);
    session.tick(1000);
    EXPECT_EQ(framesDrawn(session), 0);
    EXPECT_FALSE(session.lastFrameDrawn);
    EXPECT_EQ(session.world->formation().offsetX, 1);
    EXPECT_EQ(session.frameClock.frameIndex, 1u);
}

TEST_F(SessionTest, OnlyATickThatBeganBeforeItsFrameWasDueDraws) {
    struct Case {
        std::uint32_t start;
        int reachedFromDue;  // when the pass reached the frame; its tick begins 5 ms later
        bool drawn;
    };
    // The second start puts frame 1's due time past the clock's wrap-around.
    for (const Case& c : {Case{1000, -6, true}, Case{1000, -5, false}, Case{1000, -4, false}, Case{1000, -39, true},
                          Case{1000, 0, false}, Case{1000, 1, false}, Case{1000, 200, false},
                          Case{0xFFFFFFE0u, -6, true}, Case{0xFFFFFFE0u, -5, false}}) {
        GameSession session(c.start, seeds, keyLatches, scoreIntegrityFlag);
        session.tick(c.start);
        std::uint32_t due = c.start + 40;
        tickFrom(session, due + c.reachedFromDue);
        EXPECT_EQ(framesDrawn(session), c.drawn ? 1 : 0) << "start " << c.start << ", reached " << c.reachedFromDue;
        EXPECT_EQ(session.lastFrameDrawn, c.drawn);
        EXPECT_EQ(session.frameClock.frameIndex, 2u);
    }
}

TEST_F(SessionTest, ARestartBuildsANewWorldWhoseFirstFrameIsNotDrawn) {
    GameSession session(1000, seeds, keyLatches, scoreIntegrityFlag);
    session.tick(1000);
    tickFrom(session, 1030);
    ASSERT_EQ(framesDrawn(session), 1);
    session.gameOver = true;
    session.restartRequested = true;
    session.cues.clear();

    session.frameClock.beginTick(1050);
    session.tick(5000);
    EXPECT_FALSE(session.restartRequested);
    EXPECT_EQ(session.frameClock.startTime, 5000u);
    EXPECT_EQ(session.frameClock.frameIndex, 1u);
    EXPECT_EQ(framesDrawn(session), 0);
    EXPECT_EQ(session.cues, CueEvents{IDS_NEW_WORLD});
    EXPECT_EQ(seedsAsked, 2u) << "one seed for each world";
    // Only the play-again answer clears the session's game over.
    EXPECT_TRUE(session.gameOver);
}

TEST_F(SessionTest, ReportsTheWorldsGameOver) {
    GameSession session(1000, seeds, keyLatches, scoreIntegrityFlag);
    session.world->lives().setValue(1);
    session.world->servobot().hidden = true;
    session.tick(1000);
    EXPECT_EQ(session.world->lives().value(), 0);
    EXPECT_TRUE(session.gameOver);
}

TEST_F(SessionTest, ATickEnteredWhileBusyStopsTheProgram) {
    GameSession session(1000, seeds, keyLatches, scoreIntegrityFlag);
    session.busy = true;
    EXPECT_DEATH(session.tick(1000), "busy");
    session.busy = false;
}

}  // namespace
