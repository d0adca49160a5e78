#include "app/score_bookkeeping.h"
#include "shell_fixture.h"

namespace {

using ScoreBookkeeping = ShellTest;

TEST_F(ScoreBookkeeping, NothingHappensWhileTheGameRuns) {
    bestScore.setValue(500);
    gameOverBookkeeping(session(), 200000);
    EXPECT_EQ(session().askSendHighScore, 0);
    EXPECT_EQ(session().askPlayAgain, 0);
    EXPECT_EQ(offeredScore, 0);
}

TEST_F(ScoreBookkeeping, ANewBestScoreIsOfferedOnceThenOnlyPlayAgainIsAsked) {
    session().startTime = 1000;
    session().gameOver = 1;
    bestScore.setValue(1250);
    scoreIntegrityFlag = 1;

    gameOverBookkeeping(session(), 61000);
    EXPECT_EQ(session().askSendHighScore, 1);
    EXPECT_EQ(session().askPlayAgain, 0);
    EXPECT_EQ(offeredScore, 1250);
    EXPECT_EQ(bestScorePlayTime, 60000u);
    EXPECT_EQ(bestScoreIntegrityFlag, 1);

    // The same score at the next pass (answered "Nej" and still game over).
    session().askSendHighScore = 0;
    gameOverBookkeeping(session(), 90000);
    EXPECT_EQ(session().askSendHighScore, 0);
    EXPECT_EQ(session().askPlayAgain, 1);
    EXPECT_EQ(bestScorePlayTime, 60000u) << "the play time stays the offered score's";
}

TEST_F(ScoreBookkeeping, AGameBelowTheBestScoreOnlyAsksToPlayAgain) {
    bestScore.setValue(800);
    offeredScore = 800;
    session().gameOver = 1;
    gameOverBookkeeping(session(), 200000);
    EXPECT_EQ(session().askSendHighScore, 0);
    EXPECT_EQ(session().askPlayAgain, 1);
}

TEST_F(ScoreBookkeeping, BestScoreRisesWithTheGameAndKeepsItsPlayTime) {
    session().startTime = 0xFFFFFF00u;  // the clock wraps during the game

    bestScoreBookkeeping(session(), 40, 0x100);
    EXPECT_EQ(bestScore.value(), 40);
    EXPECT_EQ(bestScorePlayTime, 0x200u);

    scoreIntegrityFlag = 1;
    bestScoreBookkeeping(session(), 40, 0x900);  // equal: not a rise
    bestScoreBookkeeping(session(), 12, 0x900);  // a new game below the best
    EXPECT_EQ(bestScore.value(), 40);
    EXPECT_EQ(bestScorePlayTime, 0x200u);
    EXPECT_EQ(bestScoreIntegrityFlag, 0);

    bestScoreBookkeeping(session(), 41, 0x1000);
    EXPECT_EQ(bestScore.value(), 41);
    EXPECT_EQ(bestScorePlayTime, 0x1100u);
    EXPECT_EQ(bestScoreIntegrityFlag, 1);
}

}  // namespace
