// What the browser shell's half hands the page: the registration's steps as
// JSON, the form's body with the browser build's own facts, the requests'
// details, and the addresses the page opens.
#include "shells/web/web_shell.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/web_addresses.h"
#include "game/replay.h"
#include "game/replay_check.h"
#include "game/world.h"
#include "net/submission_form.h"
#include "res/resource_ids.h"

namespace {

using nlohmann::json;

class WebShellTest : public testing::Test {
protected:
    WebShell shell{0, [] { return GameSeed{1000, {}}; }};
};

TEST_F(WebShellTest, ItsCompetitionSiteIsThePagesOwnAndOtherSitesStayAsTheyAre) {
    EXPECT_EQ(pageAddress(competitionAddress("/reg2.htm")), "/reg2.htm");
    EXPECT_EQ(pageAddress(competitionAddress("/getpass.htm?mail=a@b.se")), "/getpass.htm?mail=a@b.se");
    EXPECT_EQ(pageAddress(makerAddress("/")), makerAddress("/"));
    // A host that only begins like the competition's is another site.
    EXPECT_EQ(pageAddress(competitionAddress("") + ".evil.example/"), competitionAddress("") + ".evil.example/");
    EXPECT_EQ(shell.menuCommand(IDM_CHALLENGE_FRIENDS), PageRequest::address);
    EXPECT_EQ(json::parse(shell.details())["address"], "/index2.htm");
    EXPECT_EQ(shell.menuCommand(IDM_MAKER_SITE), PageRequest::address);
    EXPECT_EQ(json::parse(shell.details())["address"], makerAddress("/"));
}

TEST_F(WebShellTest, TheDialogsDetailsAreTheProgramsTextsInUtf8) {
    ASSERT_EQ(shell.menuCommand(IDM_GAME_RULES), PageRequest::none);
    ASSERT_EQ(shell.step(0), PageRequest::information);
    std::string text = json::parse(shell.details())["text"];
    EXPECT_EQ(text.rfind("Zifra Invaders\r\n\r\nStyr Servobot", 0), 0u);
    EXPECT_NE(text.find("Hj\xC3\xA4lp Zifra Servobot"), std::string::npos);
    shell.program().closeInformation(0);
    shell.program().theSession->askPlayAgain = true;
    // The information's pass ends with its frame; the question opens the next.
    PageRequest request = shell.step(0);
    for (int steps = 0; request != PageRequest::prompt && steps < 5; ++steps) request = shell.step(0);
    ASSERT_EQ(request, PageRequest::prompt);
    EXPECT_EQ(json::parse(shell.details()), json({{"title", "Spela Igen"}, {"question", "Vill du spela igen?"}}));
}

TEST_F(WebShellTest, TheRegistrationOpensWithTheBestScoreAndWhatWasTypedBefore) {
    shell.program().bestScore.setValue(1250);
    json opened = json::parse(shell.registrationOpened());
    EXPECT_EQ(opened["caption"], "Registrera din po\xC3\xA4ng (1250)");
    EXPECT_EQ(opened["focus"], "userName");
    EXPECT_EQ(opened["maxUserName"], 64);
    EXPECT_EQ(opened["maxPassword"], 16);
    shell.registrationOk("\xC3\xA5sa@example.se", "");
    opened = json::parse(shell.registrationOpened());
    EXPECT_EQ(opened["userName"], "\xC3\xA5sa@example.se");
    EXPECT_EQ(opened["focus"], "password");
}

TEST_F(WebShellTest, OkSendsTheFormWithTheBrowserBuildsOwnFacts) {
    shell.takeModuleBytes(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>("abc"), 3));
    shell.program().bestScore.setValue(1250);
    shell.program().bestScorePlayTime = 90000;
    json typed = json::parse(shell.registrationOk("anna@example.se", "hemlis"));
    ASSERT_EQ(typed["send"], true);
    EXPECT_EQ(typed["button"], "Skickar...");
    ReadForm read = readFormBody(typed["body"].get<std::string>());
    ASSERT_EQ(read.outcome, FormReading::read);
    EXPECT_EQ(read.form.userName, "anna@example.se");
    EXPECT_EQ(read.form.password, "hemlis");
    EXPECT_EQ(read.form.score, 1250);
    EXPECT_EQ(read.form.playTime, 90000u);
    EXPECT_EQ(read.form.gameId, 4);
    // Nothing measured on the page's thread, no processor named: the build instead.
    EXPECT_EQ(read.form.speedCount, 0);
    EXPECT_EQ(read.form.processorText, "WASM32 BROWSER");
    EXPECT_EQ(read.form.checksum, 3395655888u);  // the game's checksum of "abc"
    EXPECT_EQ(read.form.byteCount, 3u);

    // A distrusted score goes negated, as the Windows game sends it.
    shell.program().scoreIntegrityFlag = true;
    typed = json::parse(shell.registrationOk("anna@example.se", "hemlis"));
    EXPECT_EQ(readFormBody(typed["body"].get<std::string>()).form.score, -1250);
}

TEST_F(WebShellTest, OkRefusesWhatTheFormCannotCarryAndIgnoresEmptyFields) {
    EXPECT_EQ(json::parse(shell.registrationOk("anna@example.se", "")), json({{"send", false}}));
    EXPECT_EQ(json::parse(shell.registrationOk("", "hemlis")), json({{"send", false}}));
    json refused = json::parse(shell.registrationOk("anna@example.se", "l\xC5\x82" "senord"));  // ł
    EXPECT_EQ(refused["focus"], "password");
    EXPECT_NE(refused["refused"]["text"].get<std::string>().find("U+0142"), std::string::npos);
    // Longer than the fields hold: cut to 64 and 16 characters, as typed.
    std::string name = std::string(70, 'a') + "@x.se";
    json typed = json::parse(shell.registrationOk(name, "0123456789abcdefXYZ"));
    ReadForm read = readFormBody(typed["body"].get<std::string>());
    EXPECT_EQ(read.form.userName, std::string(64, 'a'));
    EXPECT_EQ(read.form.password, "0123456789abcdef");
}

TEST_F(WebShellTest, TheAnswersActionsAreTheDialogsPartOnly) {
    shell.program().bestScore.setValue(1250);
    shell.program().theSession->gameOver = true;
    ASSERT_EQ(json::parse(shell.registrationOk("anna@example.se", "hemlis"))["send"], true);
    struct Case {
        const char* what;
        platform::HttpAnswer answer;
        json actions;
    };
    const Case cases[] = {
        {"not signed up", {true, 0, "1\r\n3\r\n"},
         json::array({{{"kind", "sayTryAgain"}, {"button", "F\xC3\xB6rs\xC3\xB6k igen"}},
                      {{"kind", "openPage"}, {"address", "/reg2.htm"}}})},
        {"wrong password", {true, 0, "2\r\n3\r\n"},
         json::array({{{"kind", "sayTryAgain"}, {"button", "F\xC3\xB6rs\xC3\xB6k igen"}},
                      {{"kind", "openPage"}, {"address", "/getpass.htm?mail=anna@example.se"}}})},
        {"accepted, newer version", {true, 0, "0\r\n5\r\n"},
         json::array({{{"kind", "openPage"}, {"address", "/version.htm?gameid=5"}},
                      {{"kind", "endDialog"}},
                      {{"kind", "endDialog"}}})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(json::parse(shell.registrationAnswered(c.answer, 0)), c.actions) << c.what;
    }
    // The accepted score's own part was the program's: the best score is
    // taken, and the play-again question follows.
    EXPECT_EQ(shell.program().bestScore.value(), 0);
    EXPECT_TRUE(shell.program().theSession->askPlayAgain);
    // No answer: the version heard last still stands, and the dialog says
    // why in a message box of its own.
    json failed = json::parse(shell.registrationAnswered({false, platform::unexplainedHttpFailure, "Failed to fetch"}, 0));
    ASSERT_EQ(failed.size(), 4u);
    EXPECT_EQ(failed[0]["address"], "/version.htm?gameid=5");
    EXPECT_EQ(failed[2]["kind"], "sayTryAgain");
    EXPECT_EQ(failed[3]["kind"], "reportFailure");
    EXPECT_NE(failed[3]["message"]["text"].get<std::string>().find("Failed to fetch"), std::string::npos);
}

TEST_F(WebShellTest, AvbrytAndNyAnvandare) {
    EXPECT_EQ(json::parse(shell.registrationCancelled(0)), json::array({{{"kind", "endDialog"}}}));
    EXPECT_EQ(json::parse(shell.registrationNewUser()),
              json::array({{{"kind", "openPage"}, {"address", "/reg3.htm"}}}));
}

}  // namespace

namespace {

// Steps until a frame has run, as the page's loop does between its timers.
void runFrame(WebShell& shell, std::uint32_t& now) {
    for (int steps = 0; steps < 20; ++steps) {
        PageRequest request = shell.step(now);
        if (shell.frameRan()) return;
        if (request == PageRequest::wait) now = shell.dueTime();
        if (request == PageRequest::prompt) shell.program().modalLoopEnded(now);
    }
    FAIL() << "no frame ran";
}

TEST_F(WebShellTest, ATicketIsFetchedAheadOnceTheAddressAndPasswordAreKnown) {
    EXPECT_FALSE(shell.wantsTicket());
    shell.registrationOk("\xC3\xA5sa@example.se", "hemlis");
    ASSERT_TRUE(shell.wantsTicket());
    EXPECT_EQ(json::parse(shell.ticketRequest()), json({{"email", "\xC3\xA5sa@example.se"}, {"password", "hemlis"}}));
    shell.takeTicket(7, "has a space");  // no ticket the replay could carry
    EXPECT_TRUE(shell.wantsTicket());
    shell.takeTicket(2024, "0123abcd");
    EXPECT_FALSE(shell.wantsTicket());

    // The next game plays on it, and the one after on the player's own seed
    // unless another ticket has come.
    std::uint32_t now = 0;
    shell.program().theSession->restartRequested = true;
    runFrame(shell, now);
    EXPECT_EQ(shell.program().theSession->world->replay().seed, 2024u);
    EXPECT_EQ(shell.program().theSession->world->replay().ticket, "0123abcd");
    EXPECT_TRUE(shell.wantsTicket());
    shell.program().theSession->restartRequested = true;
    runFrame(shell, now);
    EXPECT_EQ(shell.program().theSession->world->replay().seed, 1000u);
    EXPECT_EQ(shell.program().theSession->world->replay().ticket, "");
}

TEST_F(WebShellTest, ARefusedPasswordIsAskedWithAgainOnlyOnceItChanges) {
    shell.registrationOk("anna@example.se", "fel");
    shell.ticketRefused();
    EXPECT_FALSE(shell.wantsTicket());
    shell.registrationOk("anna@example.se", "r\xC3\xA4tt");
    EXPECT_TRUE(shell.wantsTicket());
    shell.ticketsUnavailable();
    EXPECT_FALSE(shell.wantsTicket());
    shell.registrationOk("bo@example.se", "annat");
    EXPECT_FALSE(shell.wantsTicket());
}

TEST_F(WebShellTest, TheBestScoresReplayOnATicketIsSentOnceAndProvesTheScore) {
    std::uint8_t module[] = {'a', 'b', 'c'};
    shell.takeModuleBytes(module);
    EXPECT_TRUE(shell.replayToVerify().empty());  // no best score yet
    shell.registrationOk("anna@example.se", "hemlis");
    shell.takeTicket(2024, "0123abcd");
    std::uint32_t now = 0;
    shell.program().theSession->restartRequested = true;
    runFrame(shell, now);
    // Space held from the start, as the recorded game "over" plays seed 2024.
    shell.program().keyEvent({GameKey::fire, true});
    for (int frame = 0; frame < 900 && !shell.program().theSession->gameOver; ++frame) runFrame(shell, now);
    ASSERT_GT(shell.program().bestScore.value(), 0);

    std::vector<std::uint8_t> bytes = shell.replayToVerify();
    ASSERT_FALSE(bytes.empty());
    std::string error;
    std::optional<Replay> replay = decodeReplay(bytes, {}, error);
    ASSERT_TRUE(replay) << error;
    EXPECT_EQ(replay->ticket, "0123abcd");
    EXPECT_EQ(replay->seed, 2024u);
    EXPECT_EQ(replay->buildChecksum, 3395655888u);
    EXPECT_EQ(replay->buildSize, 3u);
    ReplayVerdict verdict = verifyReplay(*replay);
    EXPECT_TRUE(verdict.proven) << verdict.error;
    EXPECT_EQ(verdict.score, shell.program().bestScore.value());
    EXPECT_TRUE(shell.replayToVerify().empty()) << "a ticket is used up by its first replay";
}

}  // namespace
