// The program's main loop, step by step: the frame rhythm, the order of the
// dialogs around a game over, the best score, keys, the menu and the end.
#include <vector>

#include "program_fixture.h"
#include "res/resource_ids.h"

namespace {

TEST_F(ProgramSteps, FrameZeroRunsAtOnceUndrawnAndTheNextWaitsForItsTime) {
    Step first = stepAt(startTime);
    EXPECT_EQ(first.cues, std::vector<int>{IDS_NEW_WORLD}) << "the opening music at start-up";
    EXPECT_TRUE(first.frameRan);
    EXPECT_FALSE(first.drawn);
    EXPECT_EQ(&first.screen, &world().screen());

    Step early = stepAt(startTime + 10);
    EXPECT_FALSE(early.frameRan);
    EXPECT_TRUE(early.cues.empty()) << "each cue is handed out once";
    ASSERT_TRUE(asks<WaitUntil>(early));
    EXPECT_EQ(std::get<WaitUntil>(*early.request).dueTime, startTime + 40);
    // The tick began before the frame was due, so it is drawn when it runs.
    Step second = stepAt(startTime + 40);
    EXPECT_TRUE(second.frameRan);
    EXPECT_TRUE(second.drawn);
    EXPECT_EQ(world().servobot().blinkCounter(), 1);
}

TEST(ProgramSeeds, EveryWorldAsksTheSeedSourceOnceAndPlaysItsSeed) {
    std::vector<std::uint32_t> handedOut;
    SeedSource seeds = [&] {
        handedOut.push_back(static_cast<std::uint32_t>(7 + handedOut.size()));
        return GameSeed{handedOut.back(), "ticket"};
    };
    Program program(0, seeds);
    ASSERT_EQ(handedOut, std::vector<std::uint32_t>{7});
    // The first formation's digits are the generator's first draws.
    GameRandom same(7);
    const TileFormation& formation = program.theSession->world->formation();
    for (auto tile = formation.tiles.rbegin(); tile != formation.tiles.rend(); ++tile) {
        EXPECT_EQ((*tile)->digit(), same.digit());
    }
    program.menuCommand(IDM_NEW_GAME);
    program.step(0, {});
    EXPECT_EQ(handedOut, (std::vector<std::uint32_t>{7, 8}));
}

TEST_F(ProgramSteps, AGameThatFellBehindCatchesUpUndrawnWithoutShiftingTheFrames) {
    stepAt(startTime);
    // Frames 1 to 5 are due at start + 40 to start + 200: each runs at once,
    // undrawn, the fifth too, as its tick begins at its due time.
    for (int frameIndex = 1; frameIndex <= 5; ++frameIndex) {
        Step step = stepAt(startTime + 200);
        EXPECT_TRUE(step.frameRan) << frameIndex;
        EXPECT_FALSE(step.drawn) << frameIndex;
    }
    Step caughtUp = stepAt(startTime + 200);
    ASSERT_TRUE(asks<WaitUntil>(caughtUp));
    EXPECT_EQ(std::get<WaitUntil>(*caughtUp.request).dueTime, startTime + 240);
    EXPECT_TRUE(stepAt(startTime + 240).drawn);
}

TEST_F(ProgramSteps, AFrameIsDrawnOnlyWhenItsPassReachedItMoreThan5msBeforeItWasDue) {
    // Which frames count as late is the game's own reckoning, whoever waits.
    struct Case {
        std::uint32_t early;  // ms before the due time that the pass reached the frame
        bool drawn;
    };
    const Case cases[] = {{40, true}, {6, true}, {5, false}, {4, false}, {0, false}};
    frame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.early);
        std::uint32_t due = now + 40;
        if (c.early > 0) {
            EXPECT_TRUE(asks<WaitUntil>(stepAt(due - c.early)));
        }
        Step step = stepAt(due);
        EXPECT_TRUE(step.frameRan);
        EXPECT_EQ(step.drawn, c.drawn);
    }
}

TEST_F(ProgramSteps, KeysAreLatchedBeforeTheFrameAndATapWithinOneFrameIsNeverSeen) {
    frame();
    world().servobot().x = 130;  // between two Vaktor figures
    frame({{GameKey::fire, true}, {GameKey::fire, false}});
    EXPECT_TRUE(world().signal().hidden) << "a press and release between two polls";
    frame({{GameKey::fire, true}, {GameKey::left, true}, {GameKey::right, true}});
    EXPECT_FALSE(world().signal().hidden);
    EXPECT_EQ(world().servobot().x, 134) << "Right wins";
}

TEST_F(ProgramSteps, NewGameStartsAFreshWorldInThatFrame) {
    frame();
    frame({{GameKey::right, true}});
    Step step = frame({{GameKey::newGame, true}});
    EXPECT_FALSE(step.drawn) << "frame 0 of the new world";
    EXPECT_EQ(session().frameClock.frameIndex, 1u);
    EXPECT_EQ(session().frameClock.startTime, now);
    EXPECT_EQ(step.cues, std::vector<int>{IDS_NEW_WORLD});
    EXPECT_EQ(world().servobot().x, 30) << "the held key was cleared with the new world";
    frame({{GameKey::newGame, false}});
    EXPECT_EQ(session().frameClock.frameIndex, 2u) << "a key coming up asks for nothing";
}

TEST_F(ProgramSteps, TheBestScoreRisesWithTheGameAndKeepsItsPlayTime) {
    frame();
    world().score().setValue(40);
    frame();
    EXPECT_EQ(program.bestScore.value(), 40);
    EXPECT_EQ(program.bestScorePlayTime, now - startTime);
    std::uint32_t taken = program.bestScorePlayTime;

    program.scoreIntegrityFlag = true;
    frame();  // no rise
    EXPECT_EQ(program.bestScorePlayTime, taken);
    EXPECT_FALSE(program.bestScoreIntegrityFlag);
    world().score().setValue(41);
    frame();
    EXPECT_EQ(program.bestScore.value(), 41);
    EXPECT_TRUE(program.bestScoreIntegrityFlag);
}

TEST_F(ProgramSteps, ANewBestScoreIsOfferedFirstAndNejLeadsToPlayAgainInTheSamePass) {
    frame();
    endTheGame(1250);
    std::uint32_t endedAt = now;

    Step send = stepAt(now + 7);
    EXPECT_FALSE(send.frameRan);
    EXPECT_EQ(promptTitle(send), "Registrera");
    EXPECT_STREQ(std::get<ShowPrompt>(*send.request).text.question, "Vill du skicka din highscore till Internet?");
    EXPECT_EQ(program.offeredScore, 1250);
    EXPECT_EQ(program.bestScorePlayTime, endedAt + 7 - startTime) << "the play time at the question";

    program.answerPrompt(false, now);
    Step again = stepAt(now + 500);
    EXPECT_EQ(promptTitle(again), "Spela Igen");
    EXPECT_STREQ(std::get<ShowPrompt>(*again.request).text.question, "Vill du spela igen?");
    EXPECT_FALSE(session().askSendHighScore) << "cleared once its dialog is over";

    // "Nej": one more frame, then the end.
    program.answerPrompt(false, now);
    Step last = stepAt(now + 1);
    EXPECT_TRUE(last.frameRan);
    EXPECT_TRUE(asks<QuitProgram>(last));
    program.quit();
    EXPECT_FALSE(program.running());
}

TEST_F(ProgramSteps, AGameBelowTheOfferedScoreOnlyAsksToPlayAgainAndJaStartsANewGameAtOnce) {
    frame();
    program.offeredScore = 300;
    program.bestScore.setValue(300);
    endTheGame(300);

    Step again = stepAt(now + 3000);
    EXPECT_EQ(promptTitle(again), "Spela Igen");
    program.answerPrompt(true, now + 9000);
    // The frame clock was reset: the frame runs at once, as the new world's frame 0.
    Step next = stepAt(now + 9001);
    EXPECT_TRUE(next.frameRan);
    EXPECT_FALSE(session().gameOver);
    EXPECT_EQ(session().frameClock.frameIndex, 1u);
    EXPECT_EQ(world().lives().value(), 4);
}

TEST_F(ProgramSteps, JaToSendingOpensTheRegistrationAndItsCancelAsksToPlayAgainInTheSamePass) {
    frame();
    endTheGame(80);
    EXPECT_EQ(promptTitle(stepAt(now)), "Registrera");
    program.answerPrompt(true, now);
    EXPECT_TRUE(asks<ShowRegistration>(stepAt(now)));
    program.registrationCancelled(now);
    EXPECT_EQ(promptTitle(stepAt(now)), "Spela Igen");
}

TEST_F(ProgramSteps, ADialogThatEndsUnansweredIsNotRaisedAgainInItsPass) {
    frame();
    endTheGame(80);
    EXPECT_EQ(promptTitle(stepAt(now)), "Registrera");
    // Nobody answers: the frame runs, and the next pass asks to play again.
    EXPECT_TRUE(frame().frameRan);
    EXPECT_EQ(promptTitle(stepAt(now)), "Spela Igen");
    EXPECT_TRUE(frame().frameRan);
    EXPECT_EQ(promptTitle(stepAt(now)), "Spela Igen") << "every pass at game over asks";
}

TEST_F(ProgramSteps, TheDialogsOfAPassComeInTheirFixedOrder) {
    frame();
    endTheGame(80);
    program.menuCommand(IDM_ABOUT_KVIPPA);
    program.menuCommand(IDM_REGISTER_SCORE);
    std::vector<std::string> order;
    for (;;) {
        Step step = stepAt(now + 1);
        if (step.frameRan) break;
        if (asks<WaitUntil>(step)) continue;
        ASSERT_TRUE(step.request);
        if (asks<ShowPrompt>(step)) order.push_back(promptTitle(step));
        // "Nej" to sending asks to play again; the other dialogs end unanswered.
        if (order == std::vector<std::string>{"Registrera"}) program.answerPrompt(false, now);
        if (asks<ShowRegistration>(step)) order.push_back("registration");
        if (asks<ShowInformation>(step)) {
            order.push_back("information " + std::to_string(std::get<ShowInformation>(*step.request).index));
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Registrera", "registration", "Spela Igen", "information 2"}));
}

TEST_F(ProgramSteps, ClosingTheInformationContinuesWithoutCatchingUp) {
    frame();
    frame();
    program.menuCommand(IDM_GAME_RULES);
    Step information = stepAt(now + 5);
    ASSERT_TRUE(asks<ShowInformation>(information));
    EXPECT_EQ(std::get<ShowInformation>(*information.request).index, 0);
    std::uint32_t index = session().frameClock.frameIndex;
    program.closeInformation(now + 60000);
    Step next = stepAt(now + 60000);
    EXPECT_TRUE(next.frameRan);
    EXPECT_EQ(session().frameClock.frameIndex, index + 1) << "one frame, not a minute's worth";
}

TEST_F(ProgramSteps, AfterTheEndThereIsNothingToStep) {
    frame();
    program.quit();
    EXPECT_FALSE(program.running());
    EXPECT_DEATH(program.step(now, {}), "after quit");
}

}  // namespace
