#include "app/registration.h"
#include "program_fixture.h"

namespace {

using Kind = RegistrationAction::Kind;

RegistrationAction page(std::string path) { return {Kind::OpenPage, std::move(path)}; }
RegistrationAction step(Kind kind) { return {kind, {}}; }

TEST(Registration, ActsOnTheOutcomeInItsFixedOrder) {
    struct Case {
        const char* what;
        std::int32_t resultCode, versionNumber;
        bool gameOver;
        RegistrationActions actions;
    };
    const Case cases[] = {
        {"accepted", 0, 0, false, {step(Kind::ResetBestScore), step(Kind::EndDialog)}},
        {"accepted after game over", 0, 3, true,
         {step(Kind::ResetBestScore), step(Kind::AskPlayAgain), step(Kind::EndDialog)}},
        {"accepted, newer version", 0, 5, true,
         {page("/version.htm?gameid=5"), step(Kind::EndDialog), step(Kind::ResetBestScore), step(Kind::AskPlayAgain),
          step(Kind::EndDialog)}},
        {"unknown user", 1, 0, true, {step(Kind::SayTryAgain), page("/reg2.htm")}},
        {"unknown user, newer version", 1, 7, false,
         {page("/version.htm?gameid=7"), step(Kind::EndDialog), step(Kind::SayTryAgain), page("/reg2.htm")}},
        {"wrong password", 2, 0, false, {step(Kind::SayTryAgain), page("/getpass.htm?mail=anna@example.se")}},
        {"failed connection", 12029, 3, true, {step(Kind::SayTryAgain), step(Kind::ReportFailure)}},
        {"failed connection after version 4", -2, 4, false,
         {page("/version.htm?gameid=4"), step(Kind::EndDialog), step(Kind::SayTryAgain), step(Kind::ReportFailure)}},
        {"answer without a number", -3, 0, true, {step(Kind::SayTryAgain), step(Kind::ReportFailure)}},
        {"error page", -4, 3, false, {step(Kind::SayTryAgain), step(Kind::ReportFailure)}},
        {"library missing", -1, 3, true, {step(Kind::SayTryAgain), step(Kind::ReportFailure)}},
        {"another server code", 3, 0, true, {step(Kind::SayTryAgain), step(Kind::ReportFailure)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SubmissionRecord record;
        record.userName = "anna@example.se";
        record.resultCode = c.resultCode;
        record.versionNumber = c.versionNumber;
        EXPECT_EQ(actionsAfterSubmission(record, c.gameOver), c.actions);
    }
}

TEST(Registration, CancelAndNewUser) {
    EXPECT_EQ(actionsOnCancel(true),
              (RegistrationActions{step(Kind::AskPlayAgain), step(Kind::ResetFrameClock), step(Kind::EndDialog)}));
    EXPECT_EQ(actionsOnCancel(false), (RegistrationActions{step(Kind::ResetFrameClock), step(Kind::EndDialog)}));
    EXPECT_EQ(actionsOnNewUser(), RegistrationActions{page("/reg3.htm")});
}

TEST(Registration, ThePasswordPageCarriesOnlyUnreservedCharactersAndTheAtSignAsTyped) {
    const std::pair<std::string, std::string> cases[] = {
        {"anna.berg@example.se", "anna.berg@example.se"},
        {"a b", "a%20b"},
        {"x#y%z&w+v?u", "x%23y%25z%26w%2Bv%3Fu"},
        {"g\xF6ran\x7F\t", "g%F6ran%7F%09"},
        {"A-Z_a~z09", "A-Z_a~z09"},
        {"\" < > \\ ^ ` { | } '", "%22%20%3C%20%3E%20%5C%20%5E%20%60%20%7B%20%7C%20%7D%20%27"},
        {"!$()*,;=:/[]", "%21%24%28%29%2A%2C%3B%3D%3A%2F%5B%5D"},
        {"", ""},
    };
    for (const auto& [name, query] : cases) {
        EXPECT_EQ(passwordPage(name), "/getpass.htm?mail=" + query);
    }
}

using RegistrationInTheProgram = ProgramTest;

TEST_F(RegistrationInTheProgram, PreparesTheRecordOnlyWithNameAndPassword) {
    program.bestScore.setValue(1250);
    program.bestScorePlayTime = 9000;

    EXPECT_FALSE(program.prepareSubmission("anna@example.se", ""));
    EXPECT_FALSE(program.prepareSubmission("", "hemligt"));
    SubmissionRecord& record = program.theSubmission;
    EXPECT_EQ(record.score, 0) << "nothing but the texts is taken before both are there";
    EXPECT_EQ(record.userName, "");
    EXPECT_EQ(record.password, "hemligt");

    struct Case {
        bool bestScoreIntegrityFlag, scoreIntegrityFlag, integrityFlag;
    };
    for (const Case& c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true}}) {
        program.bestScoreIntegrityFlag = c.bestScoreIntegrityFlag;
        program.scoreIntegrityFlag = c.scoreIntegrityFlag;
        ASSERT_TRUE(program.prepareSubmission("anna@example.se", "hemligt"));
        EXPECT_EQ(record.score, 1250);
        EXPECT_EQ(record.playTime, 9000u);
        EXPECT_EQ(record.integrityFlag, c.integrityFlag);
    }
}

TEST_F(RegistrationInTheProgram, CarriesOutItsOwnPartOfTheAnswersAndHandsBackTheDialogs) {
    program.bestScore.setValue(1250);
    session().gameOver = true;
    program.theSubmission.resultCode = 0;
    program.theSubmission.versionNumber = 5;
    EXPECT_EQ(program.registrationSubmitted(200000),
              (RegistrationActions{page("/version.htm?gameid=5"), step(Kind::EndDialog), step(Kind::EndDialog)}));
    EXPECT_EQ(program.bestScore.value(), 0);
    EXPECT_TRUE(session().askPlayAgain);

    session().askPlayAgain = false;
    session().frameClock.frameIndex = 10;
    EXPECT_EQ(program.registrationCancelled(200000), RegistrationActions{step(Kind::EndDialog)});
    EXPECT_TRUE(session().askPlayAgain);
    EXPECT_EQ(session().frameClock.dueTime(), 200000u) << "the time the dialog was open is not made up";
}

}  // namespace
