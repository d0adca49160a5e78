#pragma once
// What the prompt dialog asks and what its two answers do to the session.
#include <cstdint>
#include <optional>

#include "game/game_session.h"

struct PromptText {
    const char* title;
    const char* question;
};

// The question the session's flags ask for; the send-high-score question
// wins when both are set, and there is none when neither is.
std::optional<PromptText> promptText(const GameSession& session);

// "Ja" at `now`: a new game with the frame clock reset when asked to play
// again, the registration dialog when asked to send the high score.
void answerPromptYes(GameSession& session, std::uint32_t now);

// "Nej" (also Escape and the close box): the end of the program when asked to
// play again, the play-again question when asked to send the high score.
void answerPromptNo(GameSession& session);
