#include <string>

#include "app/prompt_answers.h"
#include "program_fixture.h"

namespace {

using PromptAnswers = ProgramTest;

TEST_F(PromptAnswers, QuestionFollowsTheFlags) {
    EXPECT_FALSE(promptText(session())) << "no flag, no question";

    session().askPlayAgain = true;
    auto playAgain = promptText(session());
    ASSERT_TRUE(playAgain);
    EXPECT_STREQ(playAgain->title, "Spela Igen");
    EXPECT_STREQ(playAgain->question, "Vill du spela igen?");

    // Both set: the send-high-score question is the one shown.
    session().askSendHighScore = true;
    auto send = promptText(session());
    ASSERT_TRUE(send);
    EXPECT_STREQ(send->title, "Registrera");
    EXPECT_STREQ(send->question, "Vill du skicka din highscore till Internet?");
}

TEST_F(PromptAnswers, YesToPlayAgainStartsANewGameWithoutCatchingUp) {
    session().askPlayAgain = true;
    session().gameOver = true;
    session().frameClock.frameIndex = 250;
    session().frameClock.startTime = 5;

    answerPromptYes(session(), 70000);

    EXPECT_TRUE(session().restartRequested);
    EXPECT_FALSE(session().gameOver);
    EXPECT_EQ(session().frameClock.dueTime(), 70000u) << "frame 250 is due at once";
    EXPECT_FALSE(session().showRegistration);
    EXPECT_FALSE(session().quitRequested);
}

TEST_F(PromptAnswers, YesToSendingTheScoreOpensTheRegistration) {
    session().askSendHighScore = true;
    session().gameOver = true;
    answerPromptYes(session(), 70000);

    EXPECT_TRUE(session().showRegistration);
    EXPECT_FALSE(session().restartRequested);
    EXPECT_TRUE(session().gameOver);
    EXPECT_EQ(session().frameClock.startTime, startTime);
}

TEST_F(PromptAnswers, NoToPlayAgainQuits) {
    session().askPlayAgain = true;
    answerPromptNo(session());
    EXPECT_TRUE(session().quitRequested);
    EXPECT_FALSE(session().restartRequested);
}

TEST_F(PromptAnswers, NoToSendingTheScoreAsksToPlayAgainButNeverQuits) {
    session().askSendHighScore = true;
    answerPromptNo(session());
    EXPECT_TRUE(session().askPlayAgain);
    EXPECT_FALSE(session().quitRequested);
    EXPECT_FALSE(session().showRegistration);
}

TEST_F(PromptAnswers, WithoutAQuestionTheAnswersChangeNothing) {
    answerPromptYes(session(), 70000);
    answerPromptNo(session());
    EXPECT_FALSE(session().restartRequested || session().quitRequested || session().askPlayAgain ||
                 session().showRegistration);
    EXPECT_EQ(session().frameClock.startTime, startTime);
}

}  // namespace
