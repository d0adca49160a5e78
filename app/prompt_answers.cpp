#include "app/prompt_answers.h"

#include "app/program_state.h"

std::optional<PromptText> promptText(const GameSession& session) {
    if (session.askSendHighScore) return PromptText{"Registrera", "Vill du skicka din highscore till Internet?"};
    if (session.askPlayAgain) return PromptText{"Spela Igen", "Vill du spela igen?"};
    return std::nullopt;
}

void answerPromptYes(GameSession& session) {
    if (session.askPlayAgain) {
        session.restartRequested = 1;
        session.gameOver = 0;
        resetFrameClock();
    }
    if (session.askSendHighScore) session.showRegistration = 1;
}

void answerPromptNo(GameSession& session) {
    // The play-again test comes first, so a "Nej" to sending the score asks
    // to play again and never quits by itself.
    if (session.askPlayAgain) session.quitRequested = 1;
    if (session.askSendHighScore) session.askPlayAgain = 1;
}
