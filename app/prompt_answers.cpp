#include "app/prompt_answers.h"

std::optional<PromptText> promptText(const GameSession& session) {
    if (session.askSendHighScore) return PromptText{"Registrera", "Vill du skicka din highscore till Internet?"};
    if (session.askPlayAgain) return PromptText{"Spela Igen", "Vill du spela igen?"};
    return std::nullopt;
}

void answerPromptYes(GameSession& session, std::uint32_t now) {
    if (session.askPlayAgain) {
        session.restartRequested = true;
        session.gameOver = false;
        session.frameClock.reset(now);
    }
    if (session.askSendHighScore) session.showRegistration = true;
}

void answerPromptNo(GameSession& session) {
    // The play-again test comes first, so a "Nej" to sending the score asks
    // to play again and never quits by itself.
    if (session.askPlayAgain) session.quitRequested = true;
    if (session.askSendHighScore) session.askPlayAgain = true;
}
