#include "app/score_bookkeeping.h"

#include "app/program_state.h"

namespace {

void takeBestScorePlayTime(const GameSession& session, std::uint32_t now) {
    bestScorePlayTime = now - session.startTime;
    bestScoreIntegrityFlag = scoreIntegrityFlag;
}

}  // namespace

void gameOverBookkeeping(GameSession& session, std::uint32_t now) {
    if (!session.gameOver) return;
    if (bestScore.value() > offeredScore) {
        offeredScore = bestScore.value();
        takeBestScorePlayTime(session, now);
        session.askSendHighScore = 1;
    } else {
        session.askPlayAgain = 1;
    }
}

void bestScoreBookkeeping(const GameSession& session, std::int32_t currentScore, std::uint32_t now) {
    if (currentScore <= bestScore.value()) return;
    bestScore.setValue(currentScore);
    takeBestScorePlayTime(session, now);
}
