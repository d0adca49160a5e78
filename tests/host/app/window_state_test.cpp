// Nothing is played unseen: the game held while the window is minimised or
// not active, the time of the shell's modal loops not caught up, and no key
// left down by a key-up that went elsewhere.
#include <functional>

#include "program_fixture.h"
#include "res/resource_ids.h"

namespace {

class WindowState : public ProgramSteps {
protected:
    enum Change { deactivate, activate, minimise, restore };

    void change(Change c, std::uint32_t time) {
        switch (c) {
        case deactivate: program.windowActivated(false, time); break;
        case activate: program.windowActivated(true, time); break;
        case minimise: program.windowMinimised(true, time); break;
        case restore: program.windowMinimised(false, time); break;
        }
    }

    // A step at `time` runs no frame: the shell is to wait for the window.
    void expectHeldAt(std::uint32_t time) {
        std::uint32_t index = session().frameClock.frameIndex;
        Step step = stepAt(time);
        EXPECT_FALSE(step.frameRan);
        EXPECT_TRUE(asks<WaitWhileHeld>(step));
        EXPECT_EQ(session().frameClock.frameIndex, index);
    }

    // The game goes on at `time` as after a dialog: one frame at once (late
    // by a hair, so not drawn), the next one 40 ms on, nothing made up.
    void expectGoesOnAt(std::uint32_t time) {
        std::uint32_t index = session().frameClock.frameIndex;
        Step step = stepAt(time);
        EXPECT_TRUE(step.frameRan);
        EXPECT_FALSE(step.drawn);
        EXPECT_EQ(session().frameClock.frameIndex, index + 1) << "one frame, not the time away's worth";
        Step next = stepAt(time);
        ASSERT_TRUE(asks<WaitUntil>(next));
        EXPECT_EQ(std::get<WaitUntil>(*next.request).dueTime, time + 40);
    }
};

TEST_F(WindowState, TheGameIsHeldWhileTheWindowIsAwayAndGoesOnWithoutCatchingUp) {
    struct Case {
        const char* what;
        std::vector<Change> changes;
    };
    const Case cases[] = {
        {"another program active", {deactivate, activate}},
        {"minimised", {minimise, restore}},
        {"minimised, then left; back, then restored", {minimise, deactivate, activate, restore}},
        {"left, then minimised; restored, then back", {deactivate, minimise, restore, activate}},
        {"the same news twice", {deactivate, deactivate, minimise, minimise, activate, activate, restore}},
    };
    frame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frame();
        for (std::size_t i = 0; i + 1 < c.changes.size(); ++i) {
            change(c.changes[i], now + 5000);
            expectHeldAt(now + 5000);
        }
        change(c.changes.back(), now + 5000);
        expectGoesOnAt(now + 5000);
    }

    // News that change nothing leave the frame clock alone.
    frame();
    std::uint32_t due = now + 40;
    program.windowActivated(true, now + 10);
    program.windowMinimised(false, now + 10);
    Step early = stepAt(now + 10);
    ASSERT_TRUE(asks<WaitUntil>(early));
    EXPECT_EQ(std::get<WaitUntil>(*early.request).dueTime, due);
}

TEST_F(WindowState, AHeldGameAsksForNoDialogUntilItGoesOn) {
    frame();
    endTheGame(0);
    program.windowActivated(false, now);
    expectHeldAt(now + 20000);
    program.windowActivated(true, now + 20000);
    Step again = stepAt(now + 20000);
    EXPECT_EQ(promptTitle(again), "Spela Igen");
}

// A dialog that ended while another program was in front (the registration
// dialog that opened a page in the browser) leaves the game held; a menu
// pick meanwhile that asks for the same dialog again is not lost.
TEST_F(WindowState, ADialogAskedForWhileHeldAfterTheSameDialogEndedStillComes) {
    struct Case {
        const char* what;
        int firstPick;
        int secondPick;
        std::function<void(Program&, std::uint32_t)> answer;
        std::function<bool(const Step&)> asksAgain;
    };
    const Case cases[] = {
        {"the registration dialog", IDM_REGISTER_SCORE, IDM_REGISTER_SCORE,
         [](Program& p, std::uint32_t t) { p.registrationCancelled(t); },
         [](const Step& step) { return asks<ShowRegistration>(step); }},
        {"an information text", IDM_GAME_RULES, IDM_ABOUT_KVIPPA,
         [](Program& p, std::uint32_t t) { p.closeInformation(t); },
         [](const Step& step) {
             return asks<ShowInformation>(step) && std::get<ShowInformation>(*step.request).index == 2;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frame();
        program.menuCommand(c.firstPick);
        Step dialog = stepAt(now);
        ASSERT_TRUE(dialog.request && !asks<WaitUntil>(dialog));
        program.windowActivated(false, now + 100);
        c.answer(program, now + 200);
        program.modalLoopEnded(now + 200);
        expectHeldAt(now + 300);
        program.menuCommand(c.secondPick);
        program.windowActivated(true, now + 400);
        bool askedAgain = false;
        for (int i = 0; i < 6 && !askedAgain; ++i) {
            Step step = stepAt(now + 400 + 40 * i);
            askedAgain = c.asksAgain(step);
            if (step.request && !asks<WaitUntil>(step) && !askedAgain) ADD_FAILURE() << "another request";
        }
        EXPECT_TRUE(askedAgain);
        c.answer(program, now);
        program.modalLoopEnded(now);
    }
}

TEST_F(WindowState, KeysDownWhenTheirKeyUpGoesElsewhereAreReleased) {
    struct Case {
        const char* what;
        std::function<void(Program&, std::uint32_t)> awayAndBack;
    };
    const Case cases[] = {
        {"another program active",
         [](Program& p, std::uint32_t t) {
             p.windowActivated(false, t);
             p.windowActivated(true, t + 3000);
         }},
        {"minimised",
         [](Program& p, std::uint32_t t) {
             p.windowMinimised(true, t);
             p.windowMinimised(false, t + 3000);
         }},
        {"the menu or a move of the window", [](Program& p, std::uint32_t t) { p.modalLoopEnded(t + 3000); }},
    };
    frame();
    world().servobot().x = 130;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::int32_t x = world().servobot().x;
        frame({{GameKey::right, true}, {GameKey::fire, true}});
        EXPECT_EQ(world().servobot().x, x + 4);
        c.awayAndBack(program, now);
        now += 3000;
        frame();
        frame();
        EXPECT_EQ(world().servobot().x, x + 4) << "Right was released";
        EXPECT_EQ(world().controller().fire(), 0) << "Space was released";
        // A key pressed after coming back counts at once.
        frame({{GameKey::left, true}});
        EXPECT_EQ(world().servobot().x, x);
        frame({{GameKey::left, false}});
    }
}

TEST_F(WindowState, F1AsksForANewGameInEveryPassWhileDownAndNotOnceAway) {
    // Whether the pass that begins with `keys` started a new game.
    auto newGameRan = [&](std::vector<KeyEvent> keys = {}) {
        frame(std::move(keys));
        return session().frameClock.frameIndex == 1;
    };
    frame();
    frame();
    EXPECT_TRUE(newGameRan({{GameKey::newGame, true}})) << "at its key-down";
    EXPECT_TRUE(newGameRan()) << "held";
    EXPECT_TRUE(newGameRan()) << "still held";
    EXPECT_FALSE(newGameRan({{GameKey::newGame, false}})) << "released";
    EXPECT_FALSE(newGameRan());

    EXPECT_TRUE(newGameRan({{GameKey::newGame, true}, {GameKey::newGame, false}}))
        << "pressed and released between two passes";
    EXPECT_FALSE(newGameRan());

    // As a window procedure hands them on: between the steps, not with them.
    program.keyEvent({GameKey::newGame, true});
    EXPECT_TRUE(newGameRan());
    EXPECT_TRUE(newGameRan()) << "held";
    program.windowActivated(false, now);
    program.windowActivated(true, now);
    EXPECT_FALSE(newGameRan()) << "its key-up went to the other program";
}

TEST_F(WindowState, TheTimeOfAnyModalLoopIsNotCaughtUpWhateverItsEnd) {
    // Each case opens its loop at the program's request, if it is a dialog,
    // and ends it 30 s later as the player does.
    struct Case {
        const char* what;
        int menuCommand;  // 0: none
        std::function<void(Program&, std::uint32_t)> answer;
    };
    const Case cases[] = {
        {"the menu, or a move of the window", 0, [](Program&, std::uint32_t) {}},
        {"information, OK", IDM_GAME_RULES, [](Program& p, std::uint32_t t) { p.closeInformation(t); }},
        {"registration, Avbryt", IDM_REGISTER_SCORE, [](Program& p, std::uint32_t t) { p.registrationCancelled(t); }},
        {"registration, accepted", IDM_REGISTER_SCORE,
         [](Program& p, std::uint32_t t) {
             p.theSubmission.resultCode = 0;
             p.registrationSubmitted(t);
         }},
        {"registration, accepted with the version page", IDM_REGISTER_SCORE,
         [](Program& p, std::uint32_t t) {
             p.theSubmission.resultCode = 0;
             p.theSubmission.versionNumber = 5;
             p.registrationSubmitted(t);
         }},
        {"registration, unanswered", IDM_REGISTER_SCORE, [](Program&, std::uint32_t) {}},
    };
    frame();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frame();
        if (c.menuCommand != 0) {
            program.menuCommand(c.menuCommand);
            EXPECT_TRUE(stepAt(now).request) << "the dialog";
        }
        c.answer(program, now + 30000);
        program.modalLoopEnded(now + 30000);
        expectGoesOnAt(now + 30000);
    }
}

}  // namespace
