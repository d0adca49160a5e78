#include <cstdint>

#include "app/menu_commands.h"
#include "app/web_addresses.h"
#include "shell_fixture.h"

namespace {

using MenuCommands = ShellTest;

TEST_F(MenuCommands, CommandsSetTheirSessionFlags) {
    struct Case {
        int id;
        std::uint8_t GameSession::*flag;
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
        SetUp();
        infoTextIndex = 7;
        MenuOutcome outcome = applyMenuCommand(session(), c.id);
        EXPECT_EQ(outcome.action, MenuOutcome::Action::None);
        EXPECT_EQ(session().*c.flag, 1);
        EXPECT_EQ(infoTextIndex, c.infoTextIndex < 0 ? 7 : c.infoTextIndex);
    }
}

TEST_F(MenuCommands, QuitAndPagesAreHandedBack) {
    EXPECT_EQ(applyMenuCommand(session(), 40003).action, MenuOutcome::Action::Quit);

    struct Case {
        int id;
        std::string address;
    } pages[] = {
        {40007, competitionAddress("/index2.htm")},
        {40008, makerAddress("/")},
        {40009, competitionAddress("/")},
    };
    for (const Case& c : pages) {
        MenuOutcome outcome = applyMenuCommand(session(), c.id);
        EXPECT_EQ(outcome.action, MenuOutcome::Action::OpenPage) << c.id;
        EXPECT_EQ(outcome.address, c.address) << c.id;
    }
    EXPECT_EQ(session().restartRequested + session().showInformation + session().showRegistration +
                  session().quitRequested,
              0)
        << "quitting and pages touch no flag";
}

TEST_F(MenuCommands, UnknownCommandsDoNothing) {
    for (int id : {0, 40000, 40010, 2}) {
        EXPECT_EQ(applyMenuCommand(session(), id).action, MenuOutcome::Action::None);
    }
    EXPECT_EQ(session().restartRequested + session().showInformation + session().showRegistration, 0);
}

TEST(KeyLatchMapping, SpaceAndArrowsSetTheirOwnLatchOnly) {
    struct Case {
        unsigned key;
        std::uint8_t KeyLatches::*pressed;
        std::uint8_t KeyLatches::*released;
    } cases[] = {
        {0x20, &KeyLatches::firePressed, &KeyLatches::fireReleased},
        {0x25, &KeyLatches::leftPressed, &KeyLatches::leftReleased},
        {0x26, &KeyLatches::upPressed, &KeyLatches::upReleased},
        {0x27, &KeyLatches::rightPressed, &KeyLatches::rightReleased},
        {0x28, &KeyLatches::downPressed, &KeyLatches::downReleased},
    };
    auto setCount = [](const KeyLatches& l) {
        return l.firePressed + l.fireReleased + l.leftPressed + l.leftReleased + l.rightPressed +
               l.rightReleased + l.upPressed + l.upReleased + l.downPressed + l.downReleased;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        KeyLatches latches;
        latchKeyDown(latches, c.key);
        EXPECT_EQ(latches.*c.pressed, 1);
        EXPECT_EQ(setCount(latches), 1);
        latchKeyUp(latches, c.key);
        EXPECT_EQ(latches.*c.released, 1);
        EXPECT_EQ(setCount(latches), 2) << "a tap between two frames leaves both latches set";
    }
    KeyLatches latches;
    for (unsigned key : {0x70u /* F1 */, 0x0Du, 0x41u, 0x21u, 0x29u}) {
        latchKeyDown(latches, key);
        latchKeyUp(latches, key);
    }
    EXPECT_EQ(setCount(latches), 0);
}

}  // namespace
