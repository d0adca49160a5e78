#include "app/program_state.h"

#include "platform/timer.h"

std::unique_ptr<GameSession> theSession;
NumberDisplay bestScore;
std::uint32_t bestScorePlayTime = 0;
std::int32_t offeredScore = 0;
std::uint8_t bestScoreIntegrityFlag = 0;
int infoTextIndex = 0;

void resetFrameClock() {
    if (!theSession) return;
    theSession->startTime = platform::milliseconds() - 40u * theSession->frameIndex;
}
