#include <gtest/gtest.h>

#include "game/game_session.h"
#include "game_fixture.h"
#include "platform/host_control.h"
#include "res/resource_ids.h"

namespace {

using SessionTest = GameTest;

// The Servobot counts the frames it is drawn in: the one visible trace of a render.
int framesDrawn(GameSession& session) { return session.world->servobot.blinkCounter; }

// Starts the tick so that it reads its tick time `ms` (after its 5 ms sleep).
void tickAt(GameSession& session, std::uint32_t ms) {
    platform::host::setClock(ms - 5, 1);
    session.tick(nullptr);
}

TEST_F(SessionTest, FrameZeroIsUpdatedButNeverDrawn) {
    GameSession session;
    tickAt(session, session.startTime + 5);
    EXPECT_EQ(framesDrawn(session), 0);
    EXPECT_EQ(session.world->formation->offsetX, 1);
    EXPECT_EQ(session.frameIndex, 1u);
}

TEST_F(SessionTest, OnlyATickThatBeganBeforeItsFrameWasDueDraws) {
    struct Case {
        std::uint32_t start;
        int offsetFromDue;
        bool drawn;
    };
    // The second start puts frame 1's due time past the clock's wrap-around.
    for (const Case& c : {Case{1000, -1, true}, Case{1000, 0, false}, Case{1000, 1, false}, Case{1000, 200, false},
                          Case{0xFFFFFFE0u, -1, true}, Case{0xFFFFFFE0u, 0, false}}) {
        platform::host::setClock(c.start, 1);
        GameSession session;
        tickAt(session, c.start + 10);
        std::uint32_t due = c.start + 40;
        tickAt(session, due + c.offsetFromDue);
        EXPECT_EQ(framesDrawn(session), c.drawn ? 1 : 0) << "start " << c.start << ", offset " << c.offsetFromDue;
        EXPECT_EQ(session.frameIndex, 2u);
        // A frame is never run before it is due.
        EXPECT_GE(static_cast<std::int32_t>(platform::host::clockNow() - due), 0);
    }
}

TEST_F(SessionTest, AnEarlyTickWaitsForItsFrame) {
    platform::host::setClock(0xFFFFFFF0u, 1);
    GameSession session;
    tickAt(session, session.startTime + 1);
    for (std::uint32_t frame = 1; frame < 5; ++frame) {
        tickAt(session, session.startTime + 40 * frame - 30);
        EXPECT_GE(platform::host::clockNow() - session.startTime, 40 * frame);
        EXPECT_LT(platform::host::clockNow() - session.startTime, 40 * frame + 5);
    }
    EXPECT_EQ(framesDrawn(session), 4);
}

TEST_F(SessionTest, ARestartBuildsANewWorldWhoseFirstFrameIsNotDrawn) {
    GameSession session;
    tickAt(session, session.startTime + 1);
    tickAt(session, session.startTime + 39);
    ASSERT_EQ(framesDrawn(session), 1);
    session.gameOver = 1;
    session.restartRequested = 1;
    platform::host::clearStartedCues();

    tickAt(session, 5000);
    EXPECT_EQ(session.restartRequested, 0);
    EXPECT_LT(session.startTime - 5000, 5u);
    EXPECT_EQ(session.frameIndex, 1u);
    EXPECT_EQ(framesDrawn(session), 0);
    EXPECT_EQ(cues(), std::vector<int>{IDS_NEW_WORLD});
    // Only the play-again answer clears the session's game over.
    EXPECT_EQ(session.gameOver, 1);
}

TEST_F(SessionTest, ReportsTheWorldsGameOver) {
    GameSession session;
    session.world->livesDisplay->setValue(1);
    session.world->servobot.hidden = true;
    tickAt(session, session.startTime + 1);
    EXPECT_EQ(session.world->livesDisplay->value(), 0);
    EXPECT_EQ(session.gameOver, 1);
}

TEST_F(SessionTest, ATickEnteredWhileBusyStopsTheProgram) {
    GameSession session;
    session.busy = 1;
    EXPECT_DEATH(session.tick(nullptr), "busy");
    session.busy = 0;
}

}  // namespace
