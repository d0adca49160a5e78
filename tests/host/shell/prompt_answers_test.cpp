#include <string>

#include "app/prompt_answers.h"
#include "shell_fixture.h"

namespace {

using PromptAnswers = ShellTest;

TEST_F(PromptAnswers, QuestionFollowsTheFlags) {
    EXPECT_FALSE(promptText(session())) << "no flag, no question";

    session().askPlayAgain = 1;
    auto playAgain = promptText(session());
    ASSERT_TRUE(playAgain);
    EXPECT_STREQ(playAgain->title, "Spela Igen");
    EXPECT_STREQ(playAgain->question, "Vill du spela igen?");

    // Both set: the send-high-score question is the one shown.
    session().askSendHighScore = 1;
    auto send = promptText(session());
    ASSERT_TRUE(send);
    EXPECT_STREQ(send->title, "Registrera");
    EXPECT_STREQ(send->question, "Vill du skicka din highscore till Internet?");
}

TEST_F(PromptAnswers, YesToPlayAgainStartsANewGameWithoutCatchingUp) {
    session().askPlayAgain = 1;
    session().gameOver = 1;
    session().frameIndex = 250;
    session().startTime = 5;
    platform::host::setClock(70000);

    answerPromptYes(session());

    EXPECT_EQ(session().restartRequested, 1);
    EXPECT_EQ(session().gameOver, 0);
    EXPECT_EQ(session().startTime, 70000u - 40u * 250u) << "frame 250 is due at once";
    EXPECT_EQ(session().showRegistration, 0);
    EXPECT_EQ(session().quitRequested, 0);
}

TEST_F(PromptAnswers, YesToSendingTheScoreOpensTheRegistration) {
    session().askSendHighScore = 1;
    session().gameOver = 1;
    std::uint32_t startTime = session().startTime;

    answerPromptYes(session());

    EXPECT_EQ(session().showRegistration, 1);
    EXPECT_EQ(session().restartRequested, 0);
    EXPECT_EQ(session().gameOver, 1);
    EXPECT_EQ(session().startTime, startTime);
}

TEST_F(PromptAnswers, NoToPlayAgainQuits) {
    session().askPlayAgain = 1;
    answerPromptNo(session());
    EXPECT_EQ(session().quitRequested, 1);
    EXPECT_EQ(session().restartRequested, 0);
}

TEST_F(PromptAnswers, NoToSendingTheScoreAsksToPlayAgainButNeverQuits) {
    session().askSendHighScore = 1;
    answerPromptNo(session());
    EXPECT_EQ(session().askPlayAgain, 1);
    EXPECT_EQ(session().quitRequested, 0);
    EXPECT_EQ(session().showRegistration, 0);
}

TEST_F(PromptAnswers, WithoutAQuestionTheAnswersChangeNothing) {
    std::uint32_t startTime = session().startTime;
    answerPromptYes(session());
    answerPromptNo(session());
    EXPECT_EQ(session().restartRequested + session().quitRequested + session().askPlayAgain +
                  session().showRegistration,
              0);
    EXPECT_EQ(session().startTime, startTime);
}

}  // namespace
