#pragma once
// A fresh program for each test of the app, started at 100000 ms with the
// game's own pictures and a fixed calendar time, which seeds its worlds.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "app/program.h"
#include "game/world.h"
#include "platform/fake_control.h"

// The fake platform as each test's program expects to find it.
struct FreshFakePlatform {
    FreshFakePlatform() { platform::fake::setCalendarSeconds(1000); }
};

class ProgramTest : public ::testing::Test, private FreshFakePlatform {
protected:
    static constexpr std::uint32_t startTime = 100000;

    GameSession& session() { return *program.theSession; }

    Program program{startTime, calendarSeed};
};

// The program stepped as a shell steps it, frame by frame.
class ProgramSteps : public ProgramTest {
protected:
    World& world() { return *session().world; }

    Step stepAt(std::uint32_t time, std::vector<KeyEvent> keys = {}) {
        now = time;
        return program.step(now, keys);
    }

    // Steps until a frame has run, waiting until each frame is due as a shell
    // would; any other request on the way fails the test.
    Step frame(std::vector<KeyEvent> keys = {}) {
        for (;;) {
            Step step = program.step(now, keys);
            keys.clear();
            if (step.request && std::holds_alternative<WaitUntil>(*step.request)) {
                now = std::get<WaitUntil>(*step.request).dueTime;
                continue;
            }
            EXPECT_TRUE(step.frameRan);
            EXPECT_FALSE(step.request && !std::holds_alternative<QuitProgram>(*step.request))
                << "a request before the frame";
            return step;
        }
    }

    // The world loses its last life in the next frame, with `score` points.
    void endTheGame(std::int32_t score) {
        world().score().setValue(score);
        world().lives().setValue(1);
        world().servobot().hidden = true;
        frame();
        ASSERT_TRUE(session().gameOver);
    }

    template <typename Kind>
    static bool asks(const Step& step) {
        return step.request && std::holds_alternative<Kind>(*step.request);
    }
    static std::string promptTitle(const Step& step) {
        return asks<ShowPrompt>(step) ? std::get<ShowPrompt>(*step.request).text.title : "(no prompt)";
    }

    std::uint32_t now = startTime;
};
