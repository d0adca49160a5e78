#pragma once
// The main loop's bookkeeping of the run's best score, around each frame.
// `now` is the millisecond clock; play times are measured from the session's
// startTime, which resetFrameClock moves on past every modal dialog.
#include <cstdint>

#include "game/game_session.h"

// Before the dialogs of a pass: at game over, ask to send a best score not
// offered yet (taking its play time and integrity flag), or else ask to play
// again.
void gameOverBookkeeping(GameSession& session, std::uint32_t now);

// After a frame: raise the best score to the current game's score.
void bestScoreBookkeeping(const GameSession& session, std::int32_t currentScore, std::uint32_t now);
