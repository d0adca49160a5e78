#pragma once
// A fresh program for each test of the app, started at 100000 ms with the
// game's own pictures, a fixed calendar time and no cues recorded yet.
#include <gtest/gtest.h>

#include "app/program.h"
#include "game/world.h"
#include "platform/fake_control.h"

// The fake platform as each test's program expects to find it.
struct FreshFakePlatform {
    FreshFakePlatform() {
        platform::fake::setCalendarSeconds(1000);
        platform::fake::clearStartedCues();
    }
};

class ProgramTest : public ::testing::Test, private FreshFakePlatform {
protected:
    static constexpr std::uint32_t startTime = 100000;

    GameSession& session() { return *program.theSession; }

    Program program{startTime};
};
