// Sign-up, names in both code pages, SQL in every text field, and the ten
// best of a game.
#include "service_fixture.h"

namespace {

using Accounts = ServiceFixture;

TEST_F(Accounts, TheSignUpFormNamesEveryFault) {
    struct Case {
        SignUpForm form;
        std::vector<std::string> faults;
    };
    const Case cases[] = {
        {{"anna@example.se", "Anna", "hemligt1", "hemligt2"}, {"Lösenorden är inte lika."}},
        {{"anna@example.se", "Anna", "kort", "kort"}, {"Lösenordet ska ha 6 till 16 tecken."}},
        {{"anna@example.se", "Anna", std::string(17, 'x'), std::string(17, 'x')}, {"Lösenordet ska ha 6 till 16 tecken."}},
        {{"anna@example.se", "Anna", "pil→pil", "pil→pil"}, {"Lösenordet får bara innehålla tecken som spelet kan skicka."}},
        {{std::string(54, 'a') + "@example.se", "Anna", "hemligt1", "hemligt1"},
         {"Ange din e-postadress, högst 64 tecken."}},
        {{"anna.example.se", "Anna", "hemligt1", "hemligt1"}, {"Ange din e-postadress, högst 64 tecken."}},
        {{"anna→@example.se", "Anna", "hemligt1", "hemligt1"},
         {"E-postadressen får bara innehålla tecken som spelet kan skicka."}},
        {{"anna@example.se\r\nBcc: x@y", "Anna", "hemligt1", "hemligt1"},
         {"E-postadressen får bara innehålla tecken som spelet kan skicka."}},
        {{"anna@example.se", "", "hemligt1", "hemligt2"},
         {"Ange ett smeknamn på högst 32 tecken.", "Lösenorden är inte lika."}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(service->signUp(c.form).faults, c.faults) << c.form.email << " " << c.form.password;
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts"), 0);

    // 64 characters in the game's code page, å counted once.
    signUp(std::string(50, 'a') + "å@exempel.se", "Lång", "hemligt1");
    EXPECT_EQ(service->signUp({"ANNA@example.se", "Anna", "hemligt1", "hemligt1"}).outcome, Outcome::done);
    // A taken address is answered as a new one (challenges_test.cpp has its mail).
    EXPECT_EQ(service->signUp({"anna@EXAMPLE.se", "Berit", "hemligt1", "hemligt1"}).outcome, Outcome::done);
    EXPECT_EQ(service->signUp({"berit@example.se", "ANNA", "hemligt1", "hemligt1"}).faults,
              std::vector<std::string>{"Smeknamnet är redan upptaget."});
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts WHERE password_hash LIKE '$argon2id$%'"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts WHERE password_hash LIKE '%hemligt1%'"), 0);
}

TEST_F(Accounts, ANameSentInCodePage1252IsTheAccountSignedUpInUtf8) {
    signUp("Åsa.Öberg@exempel.se", "Åsa", "lösenord");
    struct Case {
        const char* what;
        std::string userName, password;
        AnswerCode code;
    };
    const Case cases[] = {
        {"as signed up", "\xC5sa.\xD6" "berg@exempel.se", "l\xF6senord", AnswerCode::accepted},
        {"in lower case", "\xE5sa.\xF6" "berg@exempel.se", "l\xF6senord", AnswerCode::accepted},
        {"the password in UTF-8 bytes", "\xC5sa.\xD6" "berg@exempel.se", "lösenord", AnswerCode::wrongPassword},
        {"the name in UTF-8 bytes", "Åsa.Öberg@exempel.se", "l\xF6senord", AnswerCode::notSignedUp},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(submit(gameForm(c.userName, c.password, 500)).code, c.code) << c.what;
    }
}

TEST_F(Accounts, SqlInEveryTextFieldIsKeptAsText) {
    const std::string sql = "x'); DROP TABLE accounts; --";
    signUp("anna@example.se", "Anna", "hemligt1");
    signUp("o'hara'--@example.se", sql, "' OR '1'='1");
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts"), 2);

    EXPECT_EQ(submit(gameForm("' OR 1=1 --", "hemligt1", 100)).code, AnswerCode::notSignedUp);
    EXPECT_EQ(submit(gameForm("anna@example.se", "' OR '1'='1", 100)).code, AnswerCode::wrongPassword);
    SubmissionForm form = gameForm("o'hara'--@example.se", "' OR '1'='1", 700);
    form.processorText = "CPU'); DELETE FROM submissions--";
    EXPECT_EQ(submit(form).code, AnswerCode::accepted);
    service->requestPasswordReset("' OR ''='");
    service->resetLink("' OR ''='");

    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM password_resets"), 0);
    auto processor = pool->borrow()->query("SELECT processor FROM submissions", {});
    ASSERT_EQ(processor.size(), 1u);
    EXPECT_EQ(processor[0][0], form.processorText);
    auto list = service->topTen(4);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].nickname, sql);
}

TEST_F(Accounts, TheTopListRanksTenPlayersByTheirBestAndTiesByWhoWasFirst) {
    for (int p = 0; p < 12; ++p) {
        signUp("p" + std::to_string(p) + "@example.se", "Spelare " + std::to_string(p), "hemligt1");
    }
    // Player p scores 100 * p, then player 11 adds a lower score; players 3
    // and 4 reach 1000 later, 4 before 3.
    for (int p = 0; p < 12; ++p) {
        ++now;
        ASSERT_EQ(submit(gameForm("p" + std::to_string(p) + "@example.se", "hemligt1", 100 * p)).code,
                  AnswerCode::accepted);
    }
    for (int p : {11, 4, 3}) {
        ++now;
        submit(gameForm("p" + std::to_string(p) + "@example.se", "hemligt1", p == 11 ? 5 : 1000));
    }
    std::vector<std::pair<std::string, std::int32_t>> got;
    for (const Placing& placing : service->topTen(4)) got.emplace_back(placing.nickname, placing.score);
    std::vector<std::pair<std::string, std::int32_t>> expected = {
        {"Spelare 11", 1100}, {"Spelare 10", 1000}, {"Spelare 4", 1000}, {"Spelare 3", 1000}, {"Spelare 9", 900},
        {"Spelare 8", 800},   {"Spelare 7", 700},   {"Spelare 6", 600},  {"Spelare 5", 500},  {"Spelare 2", 200},
    };
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(service->topTen(5).empty());
}

}  // namespace
