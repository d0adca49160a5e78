// My pages: what they show of a player, the changes they make, my data and
// the deletion of my account, through their handlers on the real database.
#include <nlohmann/json.hpp>

#include <fstream>
#include <regex>
#include <sstream>

#include "mailed_links.h"
#include "server/accounts.h"
#include "server/pages.h"
#include "server/text_encoding.h"
#include "signed_in_fixture.h"

namespace {

constexpr std::int64_t periodStart = 1800000000, periodEnd = 1800086400;

class MyPages : public SignedInFixture {
protected:
    void SetUp() override {
        SignedInFixture::SetUp();
        signUp("anna@example.se", "Anna", "hemligt1");
        signUp("berit@example.se", "Berit", "hemligt2");
        signIn(anna, "anna@example.se", "hemligt1");
    }
    ContestStore& contest() { return service->contest().store(); }
    // A score from the game, a play of its own.
    void score(const std::string& email, const std::string& password, std::int32_t points) {
        ASSERT_EQ(submit(gameForm(email, password, points, 600000 + 40 * ++plays)).code, AnswerCode::accepted);
    }
    std::string text(const std::string& sql) { return pool->borrow()->query(sql, {})[0][0].value_or("NULL"); }
    // The mails to `to`, whole, in the order written.
    std::vector<std::string> mailsTo(const std::string& to) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(outbox)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        std::vector<std::string> mails;
        for (const auto& file : files) {
            std::stringstream all;
            all << std::ifstream(file).rdbuf();
            if (all.str().find("To: " + to) != std::string::npos) mails.push_back(all.str());
        }
        return mails;
    }

    // The sign-up link's token of the challenge mailed to `to`.
    std::string challengeToken(const std::string& to) {
        auto mails = mailsTo(to);
        std::smatch found;
        if (mails.empty() || !std::regex_search(mails.back(), found, std::regex("utmaning=([A-Za-z0-9_-]+)")))
            return "";
        return found[1];
    }

    SiteBrowser anna;
    int plays = 0;
    AuditNote organiser{"organisatören", "test"};
};

TEST_F(MyPages, ShowMyBestPerGameAndPeriodAndEveryScoreOfMine) {
    ASSERT_EQ(contest().openPeriod("Vecka 1", periodStart, periodEnd, organiser, now), PeriodOpening::opened);
    ASSERT_TRUE(contest().addGame({7, "Zifra Deluxe", true}, organiser, now));
    score("anna@example.se", "hemligt1", 900);  // before the period
    now = periodStart;
    score("anna@example.se", "hemligt1", 500);
    score("anna@example.se", "hemligt1", 700);
    score("berit@example.se", "hemligt2", 5000);
    auto hidden = contest().scores(nameKey("anna@example.se"), std::nullopt);
    ASSERT_TRUE(contest().hideScore(hidden.front().id, organiser, now));  // the 700
    signIn(anna, "anna@example.se", "hemligt1");                          // the first session is past its month

    MyPage page = service->accounts().myPage(session(anna).value());
    EXPECT_EQ(page.nickname, "Anna");
    ASSERT_EQ(page.bests.size(), 2u);
    EXPECT_EQ(page.bests[0].period, "");
    EXPECT_EQ(page.bests[0].score, 900);
    EXPECT_EQ(page.bests[1].period, "Vecka 1");
    EXPECT_EQ(page.bests[1].score, 500) << "a hidden score is no best";
    ASSERT_EQ(page.scores.size(), 3u);
    EXPECT_EQ(page.scores[0].score, 700);
    EXPECT_TRUE(page.scores[0].hidden);
    EXPECT_EQ(page.scores[1].period, "Vecka 1");
    EXPECT_EQ(page.scores[2].period, "");
    EXPECT_EQ(page.scores[2].game, "Zifra Invaders");
    EXPECT_FALSE(page.scores[2].proven);

    HttpAnswer shown = myPageAnswer(*service, anna.request("GET"));
    EXPECT_EQ(shown.status, 200);
    std::string token = "name=\"form\" value=\"" + session(anna).value().formToken + "\"";
    std::size_t forms = 0, tokens = 0;
    for (std::size_t at = 0; (at = shown.body.find("<form ", at)) != std::string::npos; ++at) ++forms;
    for (std::size_t at = 0; (at = shown.body.find(token, at)) != std::string::npos; ++at) ++tokens;
    EXPECT_EQ(tokens, forms) << "every form carries the token, the nav bar's sign-out too";
    EXPECT_NE(shown.body.find("Mina sidor"), std::string::npos);
    EXPECT_EQ(shown.body.find("Berit"), std::string::npos);

    HttpAnswer visitor = myPageAnswer(*service, SiteBrowser{}.request("GET"));
    EXPECT_EQ(visitor.status, 303);
    EXPECT_EQ(headerOf(visitor, "Location"), "/logga-in.htm?next=/mina-sidor");
}

TEST_F(MyPages, MyChallengesTellWhenAndWhoSignedUpButNotWhetherTheMailWent) {
    std::int64_t annasId = session(anna).value().accountId;
    ASSERT_EQ(service->challenges().send(annasId, {{"dora@example.se"}, "Slå mig!"}).outcome, Outcome::done);
    now += 60;
    ASSERT_EQ(service->challenges().send(annasId, {{"dora@example.se", "eva@example.se"}, ""}).outcome, Outcome::done);
    std::string token = challengeToken("dora@example.se");
    ASSERT_FALSE(token.empty());
    SignUpForm dora{"dora@example.se", "Dora", "hemligt4", "hemligt4"};
    dora.challenge = token;
    ASSERT_EQ(service->signUp(dora).outcome, Outcome::done);

    auto challenges = service->accounts().myPage(session(anna).value()).challenges;
    ASSERT_EQ(challenges.size(), 3u);
    EXPECT_EQ(challenges[0].sentAt, now);
    EXPECT_EQ(challenges[0].joined, "");
    EXPECT_EQ(challenges[2].joined, "Dora");
    auto data = nlohmann::json::parse(myDataAnswer(*service, anna.request("GET")).body);
    EXPECT_EQ(data["challenges"].size(), 3u);
    EXPECT_EQ(data["challenges"][2]["joined"], "Dora");
    // Eva was mailed and Dora, named again within the week, was not: told
    // apart, the same would tell which friends asked for no more mail.
    EXPECT_EQ(data["challenges"][0], data["challenges"][1]);
    std::string page = myPageAnswer(*service, anna.request("GET")).body;
    EXPECT_NE(page.find("<td>Dora</td>"), std::string::npos);
    std::string row = "<tr><td>" + utcTime(now) + "</td><td>–</td></tr>\n";
    std::size_t first = page.find(row);
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(page.find(row, first + row.size()), first + row.size());
}

TEST_F(MyPages, EveryChangeNeedsTheFormToken) {
    using Change = HttpAnswer (*)(CompetitionService&, const HttpRequest&);
    const std::pair<const char*, Change> changes[] = {
        {"nickname", nicknameChangeAnswer}, {"e-mail", emailChangeRequestAnswer}, {"password", passwordChangeAnswer},
        {"news", newsChoiceAnswer},         {"deletion", accountDeletionAnswer},
    };
    std::vector<std::pair<std::string, std::string>> fields = {
        {"nickname", "Elak"}, {"email", "elak@example.se"}, {"password", "hemligt1"},
        {"new", "elakt123"},  {"repeated", "elakt123"},     {"news", "ja"},
        {"sure", "ja"}};
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        auto forged = fields;
        forged.emplace_back("form", "gissat");
        EXPECT_EQ(change(*service, anna.request("POST", forged)).status, 403);
        EXPECT_EQ(change(*service, SiteBrowser{}.request("POST", fields)).status, 403);
    }
    EXPECT_TRUE(session(anna));
    EXPECT_EQ(text("SELECT nickname FROM accounts WHERE email_key = 'anna@example.se'"), "Anna");
    EXPECT_EQ(text("SELECT news FROM accounts WHERE email_key = 'anna@example.se'"), "0");
    EXPECT_EQ(count("SELECT COUNT(*) FROM email_changes"), 0);
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 10)).code, AnswerCode::accepted);
}

TEST_F(MyPages, ANewNicknameIsCheckedAsAtSignUpAndWinnersKeepTheirOld) {
    ASSERT_EQ(contest().openPeriod("Vecka 1", periodStart, periodEnd, organiser, now), PeriodOpening::opened);
    now = periodStart;
    score("anna@example.se", "hemligt1", 500);
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    signIn(anna, "anna@example.se", "hemligt1");

    struct Case {
        const char* what;
        std::string nickname;
        int status;
        std::string kept;
    };
    const Case cases[] = {
        {"nothing visible", " \u200b ", 400, "Anna"},
        {"another player's", "berit", 400, "Anna"},
        {"a look-alike of another player's, in Cyrillic", "B\u0435rit", 400, "Anna"},
        {"a reversing control", "A\u202enna", 400, "Anna"},
        {"her own in other letters' case", "ANNA", 303, "ANNA"},
        {"a new one, kept as shown", "  Anna  Zifra ", 303, "Anna Zifra"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HttpAnswer answer = nicknameChangeAnswer(*service, form(anna, {{"nickname", c.nickname}}));
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(answer.body.find("class=\"fel\"") != std::string::npos, c.status == 400);
        EXPECT_EQ(session(anna).value().nickname, c.kept);
    }
    EXPECT_EQ(service->contest().closedPeriods().at(0).winners.at(0).nickname, "Anna");
    now = periodEnd + 1;
    score("anna@example.se", "hemligt1", 600);
    EXPECT_EQ(service->topTen(4).at(0).nickname, "Anna Zifra");
}

TEST_F(MyPages, ANewAddressTakesEffectThroughItsMailedLinkAndATakenOneIsNotTold) {
    HttpAnswer free =
        emailChangeRequestAnswer(*service, form(anna, {{"email", "anna.ny@example.se"}, {"password", "hemligt1"}}));
    now += 1;
    HttpAnswer taken =
        emailChangeRequestAnswer(*service, form(anna, {{"email", "Berit@example.se"}, {"password", "hemligt1"}}));
    EXPECT_EQ(free.status, 303);
    EXPECT_EQ(taken.status, free.status);
    EXPECT_EQ(headerOf(taken, "Location"), headerOf(free, "Location"));
    EXPECT_EQ(session(anna).value().email, "anna@example.se") << "nothing changes before the link";
    std::string page = myPageAnswer(*service, anna.request("GET")).body;
    EXPECT_NE(page.find("Vi har skickat ett brev till Berit@example.se"), std::string::npos)
        << "the page tells the same of a taken address as of a free one";

    ASSERT_EQ(mailsTo("Berit@example.se").size(), 1u);
    EXPECT_NE(mailsTo("Berit@example.se")[0].find("har redan ett eget konto"), std::string::npos);
    EXPECT_TRUE(mailedTokens(outbox, "ny-epost", "Berit@example.se").empty());
    auto tokens = mailedTokens(outbox, "ny-epost", "anna.ny@example.se");
    ASSERT_EQ(tokens.size(), 1u);

    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> fields;
        int status;
    };
    const Case refused[] = {
        {"a wrong password", {{"email", "anna.tre@example.se"}, {"password", "fel-fel"}}, 400},
        {"not one mailbox", {{"email", "a@example.se, b@example.se"}, {"password", "hemligt1"}}, 400},
        {"her own address", {{"email", " ANNA@example.se"}, {"password", "hemligt1"}}, 400},
        {"a fourth change within the hour", {{"email", "anna.fyra@example.se"}, {"password", "hemligt1"}}, 303},
        {"a fifth", {{"email", "anna.fem@example.se"}, {"password", "hemligt1"}}, 429},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(emailChangeRequestAnswer(*service, form(anna, c.fields)).status, c.status);
    }

    EXPECT_EQ(emailChangeFormAnswer(*service, SiteBrowser{}.request("GET", {{"token", tokens[0]}})).status, 200);
    EXPECT_EQ(session(anna).value().email, "anna@example.se") << "the link's page asks before it changes anything";
    HttpAnswer made = emailChangeAnswer(*service, SiteBrowser{}.request("POST", {{"token", tokens[0]}}));
    EXPECT_EQ(made.status, 200);
    EXPECT_EQ(session(anna).value().email, "anna.ny@example.se");
    EXPECT_EQ(emailChangeAnswer(*service, SiteBrowser{}.request("POST", {{"token", tokens[0]}})).status, 410);
    auto fourth = mailedTokens(outbox, "ny-epost", "anna.fyra@example.se");
    ASSERT_EQ(fourth.size(), 1u);
    EXPECT_EQ(emailChangeAnswer(*service, SiteBrowser{}.request("POST", {{"token", fourth[0]}})).status, 410)
        << "the change made undoes the others asked for";

    SiteBrowser other;
    EXPECT_EQ(signIn(other, "anna@example.se", "hemligt1").status, 400);
    EXPECT_EQ(signIn(other, "anna.ny@example.se", "hemligt1").status, 303);
    EXPECT_EQ(submit(gameForm("anna.ny@example.se", "hemligt1", 10)).code, AnswerCode::accepted);
    signUp("anna@example.se", "Anna igen", "hemligt3");
    EXPECT_EQ(signIn(other, "anna@example.se", "hemligt3").status, 303) << "the old address is free";
}

TEST_F(MyPages, ANewPasswordNeedsTheCurrentOneAndEndsTheOtherSessions) {
    SiteBrowser phone;
    signIn(phone, "anna@example.se", "hemligt1");
    service->requestPasswordReset("anna@example.se");
    auto reset = mailedTokens(outbox, "reset.htm", "anna@example.se");
    ASSERT_EQ(reset.size(), 1u);

    struct Case {
        const char* what;
        std::string current, password, repeated;
        int status;
    };
    const Case cases[] = {
        {"a wrong current password", "fel-fel", "nyttlosen", "nyttlosen", 400},
        {"a new one too short", "hemligt1", "kort", "kort", 400},
        {"a new one not repeated", "hemligt1", "nyttlosen", "nyttlosem", 400},
        {"the right current password", "hemligt1", "nyttlosen", "nyttlosen", 303},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HttpAnswer answer = passwordChangeAnswer(
            *service, form(anna, {{"password", c.current}, {"new", c.password}, {"repeated", c.repeated}}));
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(session(phone).has_value(), c.status != 303);
    }
    EXPECT_TRUE(session(anna)) << "the session that changed it goes on";
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 10)).code, AnswerCode::wrongPassword);
    EXPECT_EQ(submit(gameForm("anna@example.se", "nyttlosen", 10)).code, AnswerCode::accepted);
    EXPECT_EQ(service->resetLink(reset[0]), Outcome::gone) << "a reset link from before would undo it";
}

TEST_F(MyPages, NewsAreSubscribedAndUnsubscribed) {
    const std::pair<const char*, const char*> cases[] = {{"ja", "1"}, {"", "0"}, {"ja", "1"}, {"nej", "0"}};
    for (const auto& [news, stored] : cases) {
        std::vector<std::pair<std::string, std::string>> fields;
        if (*news) fields.emplace_back("news", news);
        EXPECT_EQ(newsChoiceAnswer(*service, form(anna, fields)).status, 303);
        EXPECT_EQ(text("SELECT news FROM accounts WHERE email_key = 'anna@example.se'"), stored) << news;
    }
}

TEST_F(MyPages, MyDataHoldsWhatIsKeptOfMeButNoHash) {
    ASSERT_EQ(contest().openPeriod("Vecka 1", periodStart, periodEnd, organiser, now), PeriodOpening::opened);
    now = periodStart;
    score("anna@example.se", "hemligt1", 500);
    score("berit@example.se", "hemligt2", 400);
    ASSERT_EQ(service->requestTicket("anna@example.se", "hemligt1").outcome, TicketRequest::Outcome::issued);
    now = periodEnd;
    service->contest().closeEndedPeriods();
    auto winnerToken = mailedTokens(outbox, "vinst.htm", "anna@example.se");
    ASSERT_EQ(winnerToken.size(), 1u);
    ASSERT_EQ(service->contest().claim(winnerToken[0], {"Anna Andersson", "Storgatan 1\n123 45 Lund", true}).outcome,
              Outcome::done);
    signIn(anna, "anna@example.se", "hemligt1");

    HttpAnswer answer = myDataAnswer(*service, anna.request("GET"));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.contentType, "application/json; charset=utf-8");
    EXPECT_EQ(headerOf(answer, "Content-Disposition").rfind("attachment;", 0), 0u);
    auto data = nlohmann::json::parse(answer.body);
    EXPECT_EQ(data["account"]["email"], "anna@example.se");
    EXPECT_EQ(data["account"]["nickname"], "Anna");
    ASSERT_EQ(data["scores"].size(), 1u);
    EXPECT_EQ(data["scores"][0]["score"], 500);
    EXPECT_EQ(data["scores"][0]["period"], "Vecka 1");
    EXPECT_EQ(data["scores"][0]["processor"], "CPU UNKNOWN");
    EXPECT_EQ(data["tickets"].size(), 1u);
    EXPECT_EQ(data["winners"][0]["postalAddress"], "Storgatan 1\n123 45 Lund");
    EXPECT_EQ(data["sessions"].size(), 1u);
    EXPECT_FALSE(data["mailedLinks"].empty());
    EXPECT_EQ(answer.body.find("Berit"), std::string::npos);
    for (const char* hash :
         {"SELECT password_hash FROM accounts WHERE email_key = 'anna@example.se'", "SELECT id_hash FROM sessions",
          "SELECT token_hash FROM email_confirmations", "SELECT claim_token_hash FROM winners"}) {
        std::string value = text(hash);
        EXPECT_NE(value, "NULL") << hash;
        EXPECT_EQ(answer.body.find(value), std::string::npos) << hash;
    }
    EXPECT_EQ(myDataAnswer(*service, SiteBrowser{}.request("GET")).status, 303);
}

TEST_F(MyPages, ADeletedAccountLeavesNoAddressNorScoresAndWinnersKeepTheNickname) {
    ASSERT_EQ(service->challenges().send(session(anna).value().accountId, {{"cecilia@example.se"}, ""}).outcome,
              Outcome::done);
    SignUpForm challenged{"cecilia@example.se", "Cecilia", "hemligt3", "hemligt3"};
    challenged.challenge = challengeToken("cecilia@example.se");
    ASSERT_EQ(service->signUp(challenged).outcome, Outcome::done);
    for (const std::string& token : mailedTokens(outbox, "confirm.htm", "cecilia@example.se")) {
        service->confirmEmail(token);
    }
    ASSERT_EQ(contest().openPeriod("Vecka 1", periodStart, periodEnd, organiser, now), PeriodOpening::opened);
    now = periodStart;
    score("anna@example.se", "hemligt1", 900);
    score("berit@example.se", "hemligt2", 400);
    ASSERT_EQ(service->requestTicket("anna@example.se", "hemligt1").outcome, TicketRequest::Outcome::issued);
    service->requestPasswordReset("anna@example.se");
    ASSERT_TRUE(contest().banAccount("anna@example.se", organiser, now));
    ASSERT_TRUE(contest().unbanAccount("anna@example.se", organiser, now));
    signIn(anna, "anna@example.se", "hemligt1");
    SiteBrowser phone;
    signIn(phone, "anna@example.se", "hemligt1");
    now = periodEnd;
    service->contest().closeEndedPeriods();
    now += 60;
    ASSERT_EQ(contest().openPeriod("Vecka 2", now, now + 86400, organiser, now), PeriodOpening::opened);
    score("anna@example.se", "hemligt1", 800);

    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> fields;
    };
    const Case refused[] = {
        {"not sure", {{"password", "hemligt1"}}},
        {"sure, but the wrong password", {{"password", "fel-fel"}, {"sure", "ja"}}},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(accountDeletionAnswer(*service, form(anna, c.fields)).status, 400);
        EXPECT_TRUE(session(anna));
    }
    std::string hash = text("SELECT password_hash FROM accounts WHERE email_key = 'anna@example.se'");
    HttpAnswer deleted = accountDeletionAnswer(*service, form(anna, {{"password", "hemligt1"}, {"sure", "ja"}}));
    EXPECT_EQ(deleted.status, 303);
    EXPECT_EQ(headerOf(deleted, "Location"), "/");
    EXPECT_EQ(headerOf(deleted, "Set-Cookie").rfind("zifra_session=;", 0), 0u);
    anna.take(deleted);

    EXPECT_FALSE(session(phone));
    EXPECT_EQ(
        count("SELECT COUNT(*) FROM accounts WHERE email_key = 'anna@example.se' OR password_hash = '" + hash + "'"),
        0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM audit WHERE subject LIKE '%anna@example.se%'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM sessions"), 0);
    now = periodEnd + 120;
    auto view = service->contest().view();
    EXPECT_TRUE(view->games.at(0).period.empty()) << "the current period's list";
    ASSERT_EQ(view->games.at(0).allTime.size(), 1u);
    EXPECT_EQ(view->games.at(0).allTime[0].nickname, "Berit");
    auto winners = service->contest().closedPeriods().at(0).winners;
    ASSERT_EQ(winners.size(), 2u);
    EXPECT_EQ(winners[0].nickname, "Anna") << "frozen winners stay";
    EXPECT_EQ(count("SELECT COUNT(*) FROM winners WHERE account_id IS NOT NULL AND nickname = 'Anna'"), 0);
    SiteBrowser cecilia;
    EXPECT_EQ(signIn(cecilia, "cecilia@example.se", "hemligt3").status, 303) << "whom she challenged is left whole";
    EXPECT_EQ(count("SELECT COUNT(*) FROM challenges"), 0);

    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 10)).code, AnswerCode::notSignedUp);
    signUp("anna@example.se", "Anna", "nytt-konto");
    EXPECT_EQ(signIn(anna, "anna@example.se", "nytt-konto").status, 303) << "the address and nickname sign up anew";
    EXPECT_TRUE(service->accounts().myPage(session(anna).value()).scores.empty());
}

}  // namespace
