// Challenges to friends: one mail each with the right links, the bounds on
// how many and how often, the no-more-mail list that nothing reveals, and
// the sign-up through a challenge link that names the referrer.
#include <fstream>
#include <regex>
#include <sstream>

#include "mailed_links.h"
#include "server/challenge_routes.h"
#include "server/http_routes.h"
#include "server/signed_in.h"
#include "server/text_encoding.h"
#include "service_fixture.h"

namespace {

class ChallengeTest : public ServiceFixture {
protected:
    std::int64_t accountId(const std::string& email) {
        return sqlInteger(pool->borrow()->query("SELECT id FROM accounts WHERE email_key = $1", {nameKey(email)})[0][0]);
    }
    FormOutcome challenge(const std::string& from, std::vector<std::string> friends, const std::string& message = "") {
        return service->challenges().send(accountId(from), {std::move(friends), message});
    }

    // Every mail in the outbox to the address but its sign-up's confirmation.
    std::vector<std::string> mailsTo(const std::string& address) {
        std::vector<std::string> found;
        if (!std::filesystem::exists(outbox)) return found;
        for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
            std::stringstream text;
            text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            std::string mail = text.str();
            if (mail.find("\r\nTo: " + address + "\r\n") == std::string::npos) continue;
            if (mail.find("/confirm.htm?token=") == std::string::npos) found.push_back(mail);
        }
        return found;
    }
    std::size_t challengeMails() {
        std::size_t mails = 0;
        if (!std::filesystem::exists(outbox)) return mails;
        for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
            std::stringstream text;
            text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            if (text.str().find("/reg3.htm?utmaning=") != std::string::npos) ++mails;
        }
        return mails;
    }
    static std::string linkToken(const std::string& mail, const char* page, const char* field) {
        std::smatch found;
        std::regex link(std::string("/") + page + "\\?" + field + "=([A-Za-z0-9_-]+)");
        return std::regex_search(mail, found, link) ? found[1].str() : "";
    }

    // A request through the route table, as a browser on the service's own
    // page sends it, with the session cookie when there is one.
    HttpAnswer ask(const std::string& method, const std::string& path,
                   std::vector<std::pair<std::string, std::string>> params, const std::string& client = "") {
        RouteTable routes = competitionRoutes(*service);
        HttpRequest request{method, path, std::move(params), {}, "", client, "127.0.0.1:8080"};
        if (!cookie.empty()) request.headers["cookie"] = cookie;
        return routes.find(method, path)->handle(request);
    }
    HttpAnswer post(const std::string& path, std::vector<std::pair<std::string, std::string>> params,
                    const std::string& client = "") {
        return ask("POST", path, std::move(params), client);
    }
    // Signs in on the site and keeps the cookie; the session's form token.
    std::string signInOnSite(const std::string& email) {
        HttpAnswer answer = post("/logga-in.htm", {{"email", email}, {"password", "hemligt1"}});
        for (const auto& [name, value] : answer.headers) {
            if (name == "Set-Cookie") cookie = value.substr(0, value.find(';'));
        }
        HttpRequest request;
        request.headers["cookie"] = cookie;
        auto session = signedIn(*service, request);
        return session ? session->formToken : "";
    }
    std::string cookie;

    void scoreOf(const std::string& email, std::int32_t score) {
        ASSERT_EQ(submit(gameForm(email, "hemligt1", score, 600000 + 40 * ++games)).code, AnswerCode::accepted);
    }
    std::uint32_t games = 0;
};

constexpr std::int64_t day = 24 * 60 * 60;

TEST_F(ChallengeTest, EachFriendGetsOneMailWithTheChallengersNicknameBestScoreAndTheGamesLinks) {
    struct Case {
        const char* what;
        bool webGame;
    };
    for (const Case c : {Case{"without the browser game", false}, Case{"with the browser game", true}}) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(outbox);
        if (c.webGame) settings.webGame = outbox.parent_path();
        startService();
        std::string anna = c.webGame ? "anna2@example.se" : "anna@example.se";
        signUp(anna, c.webGame ? "Anna 2" : "Anna", "hemligt1");
        scoreOf(anna, 4711);
        scoreOf(anna, 300);
        // The same friend twice in other cases, an empty field, and a second friend.
        FormOutcome sent = challenge(anna, {"berit@example.se", " BERIT@Example.se ", "", "cecilia@example.se"},
                                     "Slå mig\r\nom du kan!");
        EXPECT_EQ(sent.outcome, Outcome::done);
        EXPECT_EQ(sent.faults, std::vector<std::string>{});
        auto berit = mailsTo("berit@example.se");
        ASSERT_EQ(berit.size(), 1u);
        ASSERT_EQ(mailsTo("cecilia@example.se").size(), 1u);
        const std::string& mail = berit[0];
        std::string nickname = c.webGame ? "Anna 2" : "Anna";
        std::string site = "http://kvippa.test:8080";
        EXPECT_NE(mail.find(nickname + " utmanar dig i Zifra Invaders"), std::string::npos);
        EXPECT_NE(mail.find("Bästa resultat hittills: 4711 poäng."), std::string::npos);
        EXPECT_NE(mail.find(nickname + " skriver: Slå mig om du kan!\r\n"), std::string::npos);
        EXPECT_NE(mail.find("\r\n" + site + "/download/zifra.exe\r\n"), std::string::npos);
        EXPECT_EQ(mail.find(site + "/spela/\r\n") != std::string::npos, c.webGame);
        std::string token = linkToken(mail, "reg3.htm", "utmaning");
        EXPECT_EQ(token.size(), 43u);
        EXPECT_NE(mail.find("\r\n" + site + "/reg3.htm?utmaning=" + token + "\r\n"), std::string::npos);
        std::string stop = linkToken(mail, "avsluta.htm", "token");
        EXPECT_EQ(stop.size(), 43u);
        EXPECT_NE(mail.find("\r\nList-Unsubscribe: <" + site + "/avsluta.htm?token=" + stop + ">\r\n"),
                  std::string::npos);
        EXPECT_NE(mail.find("\r\nList-Unsubscribe-Post: List-Unsubscribe=One-Click\r\n"), std::string::npos);
        EXPECT_NE(mail.find("\r\n" + site + "/avsluta.htm?token=" + stop + "\r\n"), std::string::npos);
        // Each friend's links are their own.
        std::string other = mailsTo("cecilia@example.se")[0];
        EXPECT_NE(linkToken(other, "reg3.htm", "utmaning"), token);
        EXPECT_NE(linkToken(other, "avsluta.htm", "token"), stop);
    }
    // Nothing stored of a friend that gives the address back.
    EXPECT_EQ(count("SELECT COUNT(*) FROM challenges WHERE friend_hash LIKE '%berit%' OR friend_hash LIKE '%@%'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM challenges"), 4);
}

TEST_F(ChallengeTest, APlayerWithoutAListedScoreIsChallengedToBeFirst) {
    signUp("anna@example.se", "Anna", "hemligt1");
    scoreOf("anna@example.se", 900);
    ASSERT_TRUE(service->contest().store().hideScore(
        sqlInteger(pool->borrow()->query("SELECT id FROM submissions", {})[0][0]), {"arrangören", "fusk"}, now));
    // A message of nothing visible is none.
    ASSERT_EQ(challenge("anna@example.se", {"berit@example.se"}, "\u200B \u200B").outcome, Outcome::done);
    auto mail = mailsTo("berit@example.se");
    ASSERT_EQ(mail.size(), 1u);
    EXPECT_NE(mail[0].find("Anna har inte registrerat något resultat ännu."), std::string::npos);
    EXPECT_EQ(mail[0].find("900"), std::string::npos);
    EXPECT_EQ(mail[0].find("skriver:"), std::string::npos);
}

TEST_F(ChallengeTest, AFormWithFaultsSendsNothingAndNamesEachFault) {
    signUp("anna@example.se", "Anna", "hemligt1");
    struct Case {
        std::vector<std::string> friends;
        std::string message;
        std::vector<std::string> faults;
    };
    const Case cases[] = {
        {{"", " "}, "", {"Skriv minst en väns e-postadress."}},
        {{"berit@example.se", "berit", "a@b@example.se", "Berit <b@example.se>", "c@example.se,d@example.se"},
         "",
         {"Vän 2: skriv en e-postadress, som namn@exempel.se.", "Vän 3: skriv en e-postadress, som namn@exempel.se.",
          "Vän 4: skriv en e-postadress, som namn@exempel.se.", "Vän 5: skriv en e-postadress, som namn@exempel.se."}},
        {{"b@example.se\r\nBcc: x@example.se"}, "", {"Vän 1: skriv en e-postadress, som namn@exempel.se."}},
        {{"berit@example.se", " ANNA@example.se"}, "", {"Du kan inte utmana dig själv. Skriv dina vänners adresser."}},
        {{"a@example.se", "b@example.se", "c@example.se", "d@example.se", "e@example.se", "f@example.se"},
         "",
         {"Du kan utmana högst 5 vänner åt gången."}},
        {{"berit@example.se"}, std::string(201, 'x'), {"Meddelandet får vara högst 200 tecken."}},
        {{"berit@example.se"}, "Spela på HTTPS://fusk.example", {"Meddelandet får inte innehålla länkar."}},
        {{"berit@example.se"}, "Se WWW.fusk.example", {"Meddelandet får inte innehålla länkar."}},
        {{"berit@example.se"},
         "Hej \u202Egnalf",
         {"Meddelandet får inte ha osynliga tecken, tecken som vänder skrivriktningen eller staplade accenter."}},
    };
    for (const Case& c : cases) {
        FormOutcome sent = challenge("anna@example.se", c.friends, c.message);
        EXPECT_EQ(sent.outcome, Outcome::faulty) << c.faults.front();
        EXPECT_EQ(sent.faults, c.faults);
    }
    EXPECT_EQ(challengeMails(), 0u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM challenges"), 0);
    // 200 characters of å are 400 bytes, and fit.
    std::string longest;
    for (int i = 0; i < 200; ++i) longest += "å";
    EXPECT_EQ(challenge("anna@example.se", {"berit@example.se"}, longest).outcome, Outcome::done);

    // A banned player sends nothing, and an account that is gone neither.
    ASSERT_TRUE(service->contest().store().banAccount("anna@example.se", {"arrangören", "fusk"}, now));
    EXPECT_EQ(challenge("anna@example.se", {"cecilia@example.se"}).outcome, Outcome::forbidden);
    EXPECT_EQ(service->challenges().send(accountId("anna@example.se") + 1, {{"cecilia@example.se"}, ""}).outcome,
              Outcome::signInNeeded);
    EXPECT_EQ(challengeMails(), 1u);
}

TEST_F(ChallengeTest, APlayerNamesTwentyFriendsADayAndTheSameFriendIsMailedAgainAfterAWeek) {
    signUp("anna@example.se", "Anna", "hemligt1");
    auto friends = [](int from, int n) {
        std::vector<std::string> list;
        for (int i = from; i < from + n; ++i) list.push_back("v" + std::to_string(i) + "@example.se");
        return list;
    };
    const std::int64_t start = now;
    struct Step {
        std::int64_t at;
        std::vector<std::string> friends;
        Outcome outcome;
        std::vector<std::string> faults;
        std::size_t mailsSoFar;
    };
    const std::string share = "Du kan utmana högst 20 vänner per dygn.";
    const Step steps[] = {
        {start, friends(0, 5), Outcome::done, {}, 5},
        {start + 10, friends(5, 5), Outcome::done, {}, 10},
        {start + 20, friends(10, 5), Outcome::done, {}, 15},
        {start + 30, friends(15, 2), Outcome::done, {}, 17},
        // Three are left of the day's share: a form of four is refused whole.
        {start + 40, friends(17, 4), Outcome::tooMany, {share + " Just nu kan du utmana 3 till."}, 17},
        // Already mailed friends count towards the share though not mailed again.
        {start + 50, friends(0, 3), Outcome::done, {}, 17},
        {start + 60, friends(30, 1), Outcome::tooMany, {share + " Försök igen i morgon."}, 17},
        // A day after the first form its five are free again.
        {start + day + 1, friends(30, 5), Outcome::done, {}, 22},
        {start + day + 2, friends(35, 1), Outcome::tooMany, {share + " Försök igen i morgon."}, 22},
        // Friends mailed a week ago are mailed again; v3, named again on the
        // first day but not mailed then, counts from its first mail.
        {start + 7 * day - 1, friends(3, 1), Outcome::done, {}, 22},
        {start + 7 * day + 1, friends(0, 5), Outcome::done, {}, 27},
    };
    for (const Step& s : steps) {
        now = s.at;
        FormOutcome sent = challenge("anna@example.se", s.friends);
        EXPECT_EQ(sent.outcome, s.outcome) << s.at - start;
        EXPECT_EQ(sent.faults, s.faults) << s.at - start;
        EXPECT_EQ(challengeMails(), s.mailsSoFar) << s.at - start;
    }
    EXPECT_EQ(mailsTo("v3@example.se").size(), 2u);
}

TEST_F(ChallengeTest, OneAddressGetsAtMostThreeChallengesAWeekFromAllPlayersTogether) {
    for (int p = 0; p < 5; ++p) {
        signUp("p" + std::to_string(p) + "@example.se", "Spelare " + std::to_string(p), "hemligt1");
    }
    for (int p = 0; p < 4; ++p) {
        now += 60;
        EXPECT_EQ(challenge("p" + std::to_string(p) + "@example.se", {"berit@example.se"}).outcome, Outcome::done);
    }
    EXPECT_EQ(mailsTo("berit@example.se").size(), 3u);
    now += 7 * day;
    EXPECT_EQ(challenge("p4@example.se", {"berit@example.se"}).outcome, Outcome::done);
    EXPECT_EQ(mailsTo("berit@example.se").size(), 4u);
}

TEST_F(ChallengeTest, AnAddressThatSaidNoGetsNoChallengeNorNewsAndNothingTellsTheChallenger) {
    signUp("anna@example.se", "Anna", "hemligt1");
    signUp("cecilia@example.se", "Cecilia", "hemligt1");
    ASSERT_EQ(challenge("anna@example.se", {"berit@example.se"}).outcome, Outcome::done);
    std::string stop = mailedTokens(outbox, "avsluta.htm", "berit@example.se").at(0);

    // Fetching the link changes nothing (a mail scanner does); the click does.
    HttpAnswer asked = stopMailFormAnswer(*service, stop);
    EXPECT_EQ(asked.status, 200);
    EXPECT_NE(asked.body.find("action=\"/avsluta.htm?token=" + stop + "\""), std::string::npos);
    EXPECT_EQ(count("SELECT COUNT(*) FROM mail_refusals"), 0);
    // The mail program's one click: the same POST, from anywhere.
    HttpAnswer done = post("/avsluta.htm", {{"token", stop}});
    EXPECT_EQ(done.status, 200);
    EXPECT_NE(done.body.find("Kvippa skickar inga fler utmaningar eller nyheter till din adress."), std::string::npos);
    EXPECT_EQ(post("/avsluta.htm", {{"token", stop}}).status, 200);
    EXPECT_EQ(stopMailFormAnswer(*service, stop).status, 200);
    EXPECT_EQ(stopMailAnswer(*service, "okänd").status, 410);
    EXPECT_EQ(stopMailFormAnswer(*service, "okänd").status, 410);

    // From the same player after the repeat wait, from another, in another
    // spelling: skipped, answered as a fresh address is.
    now += 8 * day;
    FormOutcome fresh = challenge("anna@example.se", {"david@example.se"});
    for (const auto& [from, to] : {std::pair{"anna@example.se", "berit@example.se"},
                                   std::pair{"cecilia@example.se", "Berit@EXAMPLE.se"}}) {
        FormOutcome skipped = challenge(from, {to});
        EXPECT_EQ(skipped.outcome, fresh.outcome);
        EXPECT_EQ(skipped.faults, fresh.faults);
    }
    EXPECT_EQ(mailsTo("berit@example.se").size(), 1u);
    EXPECT_EQ(mailsTo("david@example.se").size(), 1u);

    // Berit joins later and asks for news: the no still holds.
    ASSERT_EQ(service->signUp({"berit@example.se", "Berit", "hemligt1", "hemligt1", true}).outcome, Outcome::done);
    ASSERT_EQ(service->signUp({"erik@example.se", "Erik", "hemligt1", "hemligt1", true}).outcome, Outcome::done);
    for (const char* who : {"berit@example.se", "erik@example.se"}) {
        for (const std::string& token : mailedTokens(outbox, "confirm.htm", who)) service->confirmEmail(token);
    }
    EXPECT_EQ(service->news().send({"Nytt spel", "Nu finns Zifra Tetris!\n"}, {"arrangören", "test"}), 1u);
    EXPECT_EQ(mailsTo("erik@example.se").size(), 1u);
    EXPECT_EQ(mailsTo("berit@example.se").size(), 1u);
}

TEST_F(ChallengeTest, ASignUpThroughTheLinkNamesTheChallengerAndEachWinnersReferrerWinsTheBonus) {
    constexpr std::int64_t periodStart = 1800000000, periodEnd = 1800086400;
    ContestStore& store = service->contest().store();
    ASSERT_EQ(store.openPeriod("Vecka 1", periodStart, periodEnd, {"arrangören", "test"}, now), PeriodOpening::opened);
    signUp("anna@example.se", "Anna", "hemligt1");
    // Signs the friend up as the link's form sends it, the referrer's field
    // as the page filled it in or as `referrer` says, and confirms.
    auto joinThrough = [&](const std::string& email, const std::string& nickname,
                           std::optional<std::string> referrer = std::nullopt) {
        std::string token = linkToken(mailsTo(email).at(0), "reg3.htm", "utmaning");
        HttpAnswer form = challengeSignUpFormAnswer(*service, token);
        EXPECT_EQ(form.status, 200);
        EXPECT_NE(form.body.find("<input type=\"hidden\" name=\"challenge\" value=\"" + token + "\">"), std::string::npos);
        std::smatch filled;
        std::regex field("name=\"referrer\" type=\"text\" value=\"([^\"]*)\"");
        EXPECT_TRUE(std::regex_search(form.body, filled, field));
        HttpAnswer page = post("/reg3.htm", {{"email", email}, {"nickname", nickname}, {"password", "hemligt1"},
                                             {"repeated", "hemligt1"}, {"referrer", referrer.value_or(filled[1])},
                                             {"challenge", token}});
        EXPECT_EQ(page.status, 200) << page.body;
        for (const std::string& t : mailedTokens(outbox, "confirm.htm", email)) service->confirmEmail(t);
        return filled[1].str();
    };
    ASSERT_EQ(challenge("anna@example.se", {"berit@example.se"}).outcome, Outcome::done);
    EXPECT_EQ(joinThrough("berit@example.se", "Berit"), "Anna");
    ASSERT_EQ(challenge("berit@example.se", {"cecilia@example.se", "david@example.se", "erik@example.se"}).outcome,
              Outcome::done);
    // Cecilia empties the field: the link still names Berit. David names
    // somebody else: the player's own word counts.
    EXPECT_EQ(joinThrough("cecilia@example.se", "Cecilia", ""), "Berit");
    EXPECT_EQ(joinThrough("david@example.se", "David", "Anna"), "Berit");
    auto referrers = pool->borrow()->query(
        "SELECT a.nickname, r.nickname FROM accounts a LEFT JOIN accounts r ON r.id = a.referrer_id ORDER BY a.id", {});
    std::vector<std::pair<std::string, std::string>> got;
    for (const SqlRow& r : referrers) got.emplace_back(*r[0], r[1].value_or(""));
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{
                       {"Anna", ""}, {"Berit", "Anna"}, {"Cecilia", "Berit"}, {"David", "Anna"}}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM challenges WHERE joined_id IS NOT NULL"), 3);

    // A banned challenger's link is an ordinary sign-up form.
    std::string erikToken = linkToken(mailsTo("erik@example.se").at(0), "reg3.htm", "utmaning");
    ASSERT_TRUE(store.banAccount("berit@example.se", {"arrangören", "fusk"}, now));
    HttpAnswer plain = challengeSignUpFormAnswer(*service, erikToken);
    EXPECT_EQ(plain.body.find("name=\"challenge\""), std::string::npos);
    EXPECT_EQ(plain.body, challengeSignUpFormAnswer(*service, "okänd").body);
    ASSERT_TRUE(store.unbanAccount("berit@example.se", {"arrangören", "fusk"}, now));

    now = periodStart;
    scoreOf("anna@example.se", 100);
    scoreOf("berit@example.se", 200);
    scoreOf("cecilia@example.se", 300);
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    std::vector<std::pair<std::string, std::string>> winners;
    for (const Winner& w : store.winners(store.period("Vecka 1")->id)) winners.emplace_back(w.nickname, w.referrer);
    EXPECT_EQ(winners, (std::vector<std::pair<std::string, std::string>>{
                           {"Cecilia", "Berit"}, {"Berit", "Anna"}, {"Anna", ""}}));
}

TEST_F(ChallengeTest, ASignUpWithAnAddressThatHasAnAccountIsAnsweredAsANewOneAndMailsTheOwner) {
    signUp("anna@example.se", "Anna", "hemligt1");
    signUp("cecilia@example.se", "Cecilia", "hemligt1");
    auto signUpPage = [&](const std::string& email, const std::string& nickname) {
        HttpAnswer page = post("/reg3.htm", {{"email", email}, {"nickname", nickname}, {"password", "hemligt1"},
                                             {"repeated", "hemligt1"}}, "10.0.0.1");
        // What the player typed is shown back; the rest must be the same.
        for (const std::string& typed : {email, nickname}) {
            for (std::size_t at; (at = page.body.find(typed)) != std::string::npos;) {
                page.body.replace(at, typed.size(), "X");
            }
        }
        return page;
    };
    HttpAnswer fresh = signUpPage("ny@example.se", "Ny");
    HttpAnswer taken = signUpPage("ANNA@example.se", "Annika");
    EXPECT_EQ(taken.status, fresh.status);
    EXPECT_EQ(taken.body, fresh.body);
    EXPECT_EQ(fresh.status, 200);
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts WHERE nickname = 'Annika'"), 0);
    auto note = mailsTo("anna@example.se");
    ASSERT_EQ(note.size(), 1u);
    EXPECT_NE(note[0].find("Hej Anna!"), std::string::npos);
    EXPECT_NE(note[0].find("http://kvippa.test:8080/getpass.htm"), std::string::npos);
    // A taken nickname is told alike whoever has the address.
    HttpAnswer nicknameFresh = signUpPage("ny2@example.se", "Cecilia");
    HttpAnswer nicknameTaken = signUpPage("anna@example.se", "Cecilia");
    EXPECT_EQ(nicknameTaken.status, 400);
    EXPECT_EQ(nicknameTaken.status, nicknameFresh.status);
    EXPECT_EQ(nicknameTaken.body, nicknameFresh.body);

    // The sign-ups from one client address are bounded, and the notes with them.
    settings.signUpsPerAddress = 2;
    startService();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(signUpPage("anna@example.se", "Annika" + std::to_string(i)).status, i < 2 ? 200 : 429) << i;
    }
    EXPECT_EQ(mailsTo("anna@example.se").size(), 3u);
}

TEST_F(ChallengeTest, ThePageShowsAVisitorTheWayInAndAPlayerTheFormWhoseAnswerTellsNothingOfTheFriends) {
    signUp("anna@example.se", "Anna", "hemligt1");
    const std::string formAction = "<form method=\"post\" action=\"/index2.htm\">";
    HttpAnswer visitor = ask("GET", "/index2.htm", {});
    EXPECT_EQ(visitor.status, 200);
    EXPECT_NE(visitor.body.find("href=\"/logga-in.htm?next=/index2.htm\""), std::string::npos);
    EXPECT_NE(visitor.body.find("href=\"/reg3.htm\""), std::string::npos);
    EXPECT_EQ(visitor.body.find(formAction), std::string::npos);
    EXPECT_EQ(post("/index2.htm", {{"friend1", "berit@example.se"}}).status, 403);

    std::string form = signInOnSite("anna@example.se");
    ASSERT_FALSE(form.empty());
    HttpAnswer page = ask("GET", "/index2.htm", {});
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(formAction), std::string::npos);
    EXPECT_NE(page.body.find("<input type=\"hidden\" name=\"form\" value=\"" + form + "\">"), std::string::npos);
    for (const char* field : {"friend1", "friend5", "message"}) {
        EXPECT_NE(page.body.find(std::string("name=\"") + field + "\""), std::string::npos) << field;
    }
    EXPECT_EQ(page.body.find("name=\"friend6\""), std::string::npos);
    bool noStore = false;
    for (const auto& [name, value] : page.headers) noStore = noStore || (name == "Cache-Control" && value == "no-store");
    EXPECT_TRUE(noStore);

    // Without the session's form token nothing is sent.
    EXPECT_EQ(post("/index2.htm", {{"friend1", "berit@example.se"}}).status, 403);
    EXPECT_EQ(post("/index2.htm", {{"friend1", "berit@example.se"}, {"form", "fel"}}).status, 403);
    EXPECT_EQ(challengeMails(), 0u);

    // The form comes back with its faults, what was typed escaped.
    HttpAnswer faulty = post("/index2.htm", {{"form", form}, {"friend2", "\"><script>x</script>"},
                                             {"message", "<b>hej</b>"}});
    EXPECT_EQ(faulty.status, 400);
    EXPECT_NE(faulty.body.find("<li>Vän 2: skriv en e-postadress, som namn@exempel.se.</li>"), std::string::npos);
    EXPECT_NE(faulty.body.find("value=\"&quot;&gt;&lt;script&gt;x&lt;/script&gt;\""), std::string::npos);
    EXPECT_NE(faulty.body.find(">&lt;b&gt;hej&lt;/b&gt;</textarea>"), std::string::npos);
    EXPECT_EQ(faulty.body.find("<script>"), std::string::npos);
    EXPECT_EQ(faulty.body.find("<b>hej"), std::string::npos);

    // An address with an account, one that said no and a fresh one are
    // answered alike.
    signUp("cecilia@example.se", "Cecilia", "hemligt1");
    ASSERT_EQ(challenge("cecilia@example.se", {"berit@example.se"}).outcome, Outcome::done);
    ASSERT_EQ(post("/avsluta.htm", {{"token", mailedTokens(outbox, "avsluta.htm", "berit@example.se").at(0)}}).status,
              200);
    std::vector<HttpAnswer> answers;
    for (const char* to : {"cecilia@example.se", "berit@example.se", "david@example.se"}) {
        answers.push_back(post("/index2.htm", {{"form", form}, {"friend1", to}, {"message", "Slå mig!"}}));
    }
    for (const HttpAnswer& answer : answers) {
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.body, answers[0].body);
    }
    EXPECT_NE(answers[0].body.find("Utmaningen är skickad."), std::string::npos);
    EXPECT_EQ(mailsTo("berit@example.se").size(), 1u);
    EXPECT_EQ(mailsTo("david@example.se").size(), 1u);
    EXPECT_EQ(mailsTo("cecilia@example.se").size(), 1u);

    // Past the day's share.
    std::vector<std::pair<std::string, std::string>> five = {{"form", form}};
    for (int i = 1; i <= 5; ++i) five.emplace_back("friend" + std::to_string(i), "v" + std::to_string(i) + "@example.se");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(post("/index2.htm", five).status, 200);
    HttpAnswer tooMany = post("/index2.htm", five);
    EXPECT_EQ(tooMany.status, 429);
    EXPECT_NE(tooMany.body.find("Just nu kan du utmana 2 till."), std::string::npos);
}

}  // namespace
