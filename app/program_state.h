#pragma once
// Program-wide state of the application shell, valid for the whole run, and
// the two global operations that dialogs and the window procedure call.
// Portable: the Windows handles live in main_window.h.
#include <cstdint>
#include <memory>

#include "game/game_session.h"
#include "gfx/number_display.h"

extern std::unique_ptr<GameSession> theSession;

// Best score of this program run; never drawn, only its guarded value is used.
extern NumberDisplay bestScore;
// Play time (ms, dialogs excluded) at which bestScore was last taken.
extern std::uint32_t bestScorePlayTime;
// bestScore's value when the send-high-score question was last raised.
extern std::int32_t offeredScore;
// scoreIntegrityFlag as it stood when bestScorePlayTime was taken.
extern std::uint8_t bestScoreIntegrityFlag;

// Which information text the information dialog shows: 0, 1 or 2.
extern int infoTextIndex;

// Makes the session's next frame due at once, so time spent in a modal
// dialog is not caught up.
void resetFrameClock();

// Ends the program in order: session and world, frame buffer, quit message.
void quitGame();
