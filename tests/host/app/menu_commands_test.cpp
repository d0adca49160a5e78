#include <string>

#include "app/web_addresses.h"
#include "program_fixture.h"

namespace {

using MenuCommands = ProgramTest;

TEST_F(MenuCommands, CommandsSetTheirSessionFlags) {
    struct Case {
        int id;
        bool GameSession::*flag;
        int infoTextIndex;  // -1: left as it was
    } cases[] = {
        {40001, &GameSession::restartRequested, -1},
        {40002, &GameSession::showInformation, 0},
        {40004, &GameSession::showInformation, 1},
        {40005, &GameSession::showInformation, 2},
        {40006, &GameSession::showRegistration, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Program fresh(startTime, calendarSeed);
        fresh.infoTextIndex = 7;
        EXPECT_FALSE(fresh.menuCommand(c.id));
        EXPECT_TRUE(fresh.theSession.get()->*c.flag);
        EXPECT_EQ(fresh.infoTextIndex, c.infoTextIndex < 0 ? 7 : c.infoTextIndex);
    }
}

TEST_F(MenuCommands, QuitAndPagesAreHandedBack) {
    auto quit = program.menuCommand(40003);
    ASSERT_TRUE(quit);
    EXPECT_TRUE(std::holds_alternative<QuitProgram>(*quit));

    struct Case {
        int id;
        std::string address;
    } pages[] = {
        {40007, competitionAddress("/index2.htm")},
        {40008, makerAddress("/")},
        {40009, competitionAddress("/")},
    };
    for (const Case& c : pages) {
        auto request = program.menuCommand(c.id);
        ASSERT_TRUE(request) << c.id;
        ASSERT_TRUE(std::holds_alternative<OpenAddress>(*request)) << c.id;
        EXPECT_EQ(std::get<OpenAddress>(*request).address, c.address) << c.id;
    }
    EXPECT_FALSE(session().restartRequested || session().showInformation || session().showRegistration ||
                 session().quitRequested)
        << "quitting and pages touch no flag";
}

TEST_F(MenuCommands, UnknownCommandsAndAnyAfterTheEndDoNothing) {
    for (int id : {0, 40000, 40010, 2}) EXPECT_FALSE(program.menuCommand(id)) << id;
    EXPECT_FALSE(session().restartRequested || session().showInformation || session().showRegistration);
    program.quit();
    for (int id : {40001, 40003, 40007}) EXPECT_FALSE(program.menuCommand(id)) << id;
}

}  // namespace
