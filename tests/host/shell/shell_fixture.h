#pragma once
// A fresh session and fresh program-wide state for each test of the shell.
#include <gtest/gtest.h>

#include "app/program_state.h"
#include "platform/host_control.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::host::setClock(100000);
        theSession = std::make_unique<GameSession>();
        bestScore.setValue(0);
        bestScorePlayTime = 0;
        offeredScore = 0;
        bestScoreIntegrityFlag = 0;
        scoreIntegrityFlag = 0;
        infoTextIndex = 0;
    }
    void TearDown() override { theSession.reset(); }

    GameSession& session() { return *theSession; }
};
