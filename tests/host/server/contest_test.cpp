// Competition periods, their winners, hidden scores, banned accounts and the
// audit of the organiser's actions, on the real database.
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <tuple>

#include "mailed_links.h"
#include "server/contest_admin.h"
#include "server/contest_routes.h"
#include "server/pages.h"
#include "server/period_closer.h"
#include "server/replay_store.h"
#include "server/text_encoding.h"
#include "service_fixture.h"

namespace {

using namespace std::chrono_literals;

constexpr std::int64_t periodStart = 1800000000, periodEnd = 1800086400;

class Contest : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        ASSERT_EQ(store().openPeriod("Vecka 1", periodStart, periodEnd, organiser, now), PeriodOpening::opened);
    }

    ContestStore& store() { return service->contest().store(); }

    std::string player(int p) { return "p" + std::to_string(p) + "@example.se"; }
    void signUpPlayers(int players) {
        for (int p = 0; p < players; ++p) signUp(player(p), "Spelare " + std::to_string(p), "hemligt1");
    }
    // Sends a score at `time`, a game of its own; expects it taken.
    void scoreAt(int p, std::int32_t score, std::int64_t time, std::int32_t game = 4) {
        now = time;
        SubmissionForm form = gameForm(player(p), "hemligt1", score, 600000 + 40 * ++games);
        form.gameId = game;
        ASSERT_EQ(submit(form).code, AnswerCode::accepted) << p << " " << score;
    }

    using Rows = std::vector<std::pair<std::string, std::int32_t>>;
    static Rows rows(const std::vector<Placing>& list) {
        Rows got;
        for (const Placing& p : list) got.emplace_back(p.nickname, p.score);
        return got;
    }
    static Rows rows(const std::vector<Winner>& list) {
        Rows got;
        for (const Winner& w : list) got.emplace_back(w.nickname, w.score);
        return got;
    }
    Rows periodList(std::int32_t game = 4) {
        now = periodStart;
        return rows(service->contest().view()->games.at(game == 4 ? 0 : 1).period);
    }
    std::int64_t periodId() { return store().period("Vecka 1")->id; }

    // The mail in the outbox but for the confirmation of each sign-up.
    std::vector<std::filesystem::path> mails() {
        std::vector<std::filesystem::path> found;
        if (!std::filesystem::exists(outbox)) return found;
        for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
            std::stringstream text;
            text << std::ifstream(entry.path()).rdbuf();
            if (text.str().find("/confirm.htm?token=") == std::string::npos) found.push_back(entry.path());
        }
        return found;
    }

    AuditNote organiser{"arrangören", "test"};
    std::uint32_t games = 0;
};

TEST_F(Contest, AScoreBelongsToThePeriodItWasAcceptedInStartInclusiveEndExclusive) {
    signUpPlayers(4);
    scoreAt(0, 900, periodStart - 1);
    scoreAt(1, 800, periodStart);
    scoreAt(2, 700, periodEnd - 1);
    scoreAt(3, 600, periodEnd);
    EXPECT_EQ(periodList(), (Rows{{"Spelare 1", 800}, {"Spelare 2", 700}}));
    EXPECT_EQ(rows(service->topTen(4)),
              (Rows{{"Spelare 0", 900}, {"Spelare 1", 800}, {"Spelare 2", 700}, {"Spelare 3", 600}}));
    // Outside every period the start page has the all-time list alone.
    now = periodEnd;
    auto outside = service->contest().view();
    EXPECT_FALSE(outside->period);
    EXPECT_TRUE(outside->games.at(0).period.empty());
    EXPECT_EQ(outside->games.at(0).allTime.size(), 4u);
}

TEST_F(Contest, PeriodsNeitherOverlapNorShareANameNorRunBackwards) {
    struct Case {
        const char* name;
        std::int64_t start, end;
        PeriodOpening result;
    };
    const Case cases[] = {
        {"Vecka 1", periodEnd, periodEnd + 10, PeriodOpening::nameTaken},
        {"Tidigare", periodStart - 10, periodStart + 1, PeriodOpening::overlaps},
        {"Inuti", periodStart + 10, periodStart + 20, PeriodOpening::overlaps},
        {"Baklänges", periodEnd + 20, periodEnd + 10, PeriodOpening::empty},
        {"Tom", periodEnd + 20, periodEnd + 20, PeriodOpening::empty},
        {"Före", periodStart - 10, periodStart, PeriodOpening::opened},
        {"Efter", periodEnd, periodEnd + 10, PeriodOpening::opened},
    };
    for (const Case& c : cases) EXPECT_EQ(store().openPeriod(c.name, c.start, c.end, organiser, now), c.result) << c.name;
    EXPECT_EQ(count("SELECT COUNT(*) FROM periods"), 3);
}

TEST_F(Contest, APeriodTieGoesToWhoReachedTheScoreFirstInThePeriod) {
    signUpPlayers(3);
    // Player 0 reached 500 first of all, but before the period.
    scoreAt(0, 500, periodStart - 100);
    scoreAt(1, 500, periodStart + 1);
    scoreAt(0, 500, periodStart + 2);
    scoreAt(2, 500, periodStart + 2);
    EXPECT_EQ(periodList(), (Rows{{"Spelare 1", 500}, {"Spelare 0", 500}, {"Spelare 2", 500}}));
    EXPECT_EQ(rows(service->topTen(4)).front(), (std::pair<std::string, std::int32_t>{"Spelare 0", 500}));
}

TEST_F(Contest, AClosedPeriodsWinnersStayAsFrozenWhateverHappensLater) {
    signUpPlayers(12);
    for (int p = 0; p < 12; ++p) scoreAt(p, 100 * (p + 1), periodStart + p);
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    EXPECT_EQ(service->contest().closeEndedPeriods(), 0);
    auto frozen = store().winners(periodId());
    ASSERT_EQ(frozen.size(), 10u);
    EXPECT_EQ(frozen.front().nickname, "Spelare 11");
    EXPECT_EQ(frozen.back().nickname, "Spelare 2");

    // A later score, a hidden winner's score and a banned winner: the lists
    // follow, the winners do not.
    scoreAt(0, 5000, periodEnd + 5);
    auto scores = store().scores(nameKey(player(11)), std::nullopt);
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_TRUE(store().hideScore(scores[0].id, organiser, now));
    EXPECT_TRUE(store().banAccount(nameKey(player(10)), organiser, now));
    EXPECT_EQ(rows(store().winners(periodId())), rows(frozen));
    EXPECT_EQ(periodList().front(), (std::pair<std::string, std::int32_t>{"Spelare 9", 1000}));
    EXPECT_EQ(rows(service->topTen(4)).front(), (std::pair<std::string, std::int32_t>{"Spelare 0", 5000}));
    // The closed period is on the winners' page with its winners.
    auto closed = service->contest().closedPeriods();
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(rows(closed[0].winners), rows(frozen));
}

TEST_F(Contest, EachWinnerIsMailedALinkThatClaimsThePrizeOnce) {
    signUpPlayers(2);
    scoreAt(0, 700, periodStart);
    scoreAt(1, 600, periodStart);
    now = periodStart + 60;
    auto period = store().period("Vecka 1");
    ASSERT_TRUE(service->contest().closePeriod(*period, organiser));
    // An organiser's close ends the period at once: a score now is after it.
    EXPECT_EQ(store().period("Vecka 1")->endsAt, periodStart + 60);
    scoreAt(1, 900, periodStart + 61);
    EXPECT_EQ(store().winners(period->id).size(), 2u);

    auto sent = mails();
    ASSERT_EQ(sent.size(), 2u);
    std::string token;
    for (const auto& path : sent) {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        std::smatch match;
        std::string body = text.str();
        ASSERT_TRUE(std::regex_search(body, match, std::regex("http://kvippa\\.test:8080/vinst\\.htm\\?token=([A-Za-z0-9_-]{43})")));
        if (body.find("To: p0@example.se") != std::string::npos) token = match[1];
        // Only the hash is kept.
        EXPECT_EQ(count("SELECT COUNT(*) FROM winners WHERE claim_token_hash = '" + std::string(match[1]) + "'"), 0);
    }
    ASSERT_FALSE(token.empty());
    ASSERT_TRUE(service->contest().claimable(token));
    EXPECT_EQ(service->contest().claimable(token)->nickname, "Spelare 0");

    struct Case {
        PrizeClaim claim;
        std::size_t faults;
    };
    const Case faulty[] = {
        {{"", "Storgatan 1\n123 45 Byn", true}, 1},
        {{"Anna Svensson", "  ", true}, 1},
        {{"Anna Svensson", "Storgatan 1", false}, 1},
        {{std::string(101, 'a'), std::string(301, 'b'), false}, 3},
    };
    for (const Case& c : faulty) EXPECT_EQ(service->contest().claim(token, c.claim).faults.size(), c.faults) << c.claim.fullName;
    EXPECT_EQ(service->contest().claim(token, {"Anna Svensson", "Storgatan 1\n123 45 Byn", true}).outcome, Outcome::done);
    EXPECT_FALSE(service->contest().claimable(token));
    EXPECT_EQ(service->contest().claim(token, {"Någon Annan", "Annanstans 2", true}).outcome, Outcome::gone);
    auto stored = pool->borrow()->query("SELECT full_name, postal_address, lives_in_sweden FROM winners WHERE place = 1");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][0], "Anna Svensson");
    EXPECT_EQ(stored[0][1], "Storgatan 1\n123 45 Byn");
    EXPECT_EQ(stored[0][2], "1");
}

TEST_F(Contest, HiddenScoresAndBannedPlayersLeaveEveryListAndComeBack) {
    signUpPlayers(2);
    scoreAt(0, 300, periodStart);
    scoreAt(0, 900, periodStart + 1);
    scoreAt(1, 500, periodStart + 2);
    auto best = store().scores(nameKey(player(0)), 4).front();
    ASSERT_EQ(best.score, 900);

    EXPECT_TRUE(store().hideScore(best.id, {"anna", "fusk"}, now));
    EXPECT_FALSE(store().hideScore(best.id, {"anna", "igen"}, now));
    EXPECT_EQ(periodList(), (Rows{{"Spelare 1", 500}, {"Spelare 0", 300}}));
    EXPECT_TRUE(store().restoreScore(best.id, {"anna", ""}, now));
    EXPECT_EQ(periodList(), (Rows{{"Spelare 0", 900}, {"Spelare 1", 500}}));

    EXPECT_TRUE(store().banAccount(nameKey(player(0)), {"berit", "fusk"}, now));
    EXPECT_EQ(periodList(), (Rows{{"Spelare 1", 500}}));
    EXPECT_EQ(rows(service->topTen(4)), (Rows{{"Spelare 1", 500}}));
    // A banned player's score is refused, and only one who knows the
    // password learns why.
    auto refused = submit(gameForm(player(0), "hemligt1", 100));
    EXPECT_EQ(refused.code, AnswerCode::refused);
    EXPECT_EQ(refused.text, "Kontot är avstängt från tävlingen.");
    EXPECT_EQ(submit(gameForm(player(0), "fel", 100)).code, AnswerCode::wrongPassword);
    EXPECT_EQ(service->requestTicket(player(0), "hemligt1").outcome, TicketRequest::Outcome::banned);
    EXPECT_TRUE(store().unbanAccount(nameKey(player(0)), {"berit", "överklagat"}, now));
    EXPECT_EQ(periodList(), (Rows{{"Spelare 0", 900}, {"Spelare 1", 500}}));

    std::vector<std::tuple<std::string, std::string, std::string, std::string>> audit;
    for (const AuditEntry& e : store().audit()) audit.emplace_back(e.actor, e.action, e.subject, e.reason);
    const decltype(audit) expected = {
        {"arrangören", "period open", "Vecka 1 1800000000 1800086400", "test"},
        {"anna", "score hide", std::to_string(best.id), "fusk"},
        {"anna", "score restore", std::to_string(best.id), ""},
        {"berit", "account ban", "p0@example.se", "fusk"},
        {"berit", "account unban", "p0@example.se", "överklagat"},
    };
    EXPECT_EQ(audit, expected);
}

TEST_F(Contest, EachCurrentGameHasItsWinnersAndARetiredOneNone) {
    ASSERT_TRUE(store().addGame({5, "Zifra Tetris", true}, organiser, now));
    EXPECT_FALSE(store().addGame({5, "Igen", true}, organiser, now));
    ASSERT_TRUE(store().addGame({6, "Zifra Pong", true}, organiser, now));
    ASSERT_TRUE(store().retireGame(6, organiser, now));
    EXPECT_FALSE(store().retireGame(6, organiser, now));
    signUpPlayers(3);
    scoreAt(0, 100, periodStart, 4);
    scoreAt(1, 200, periodStart, 5);
    scoreAt(2, 300, periodStart, 6);
    // An unknown game is refused.
    SubmissionForm unknown = gameForm(player(0), "hemligt1", 100);
    unknown.gameId = 7;
    EXPECT_EQ(submit(unknown).code, AnswerCode::refused);
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    std::vector<std::pair<std::int32_t, std::string>> got;
    for (const Winner& w : store().winners(periodId())) got.emplace_back(w.gameId, w.nickname);
    EXPECT_EQ(got, (std::vector<std::pair<std::int32_t, std::string>>{{4, "Spelare 0"}, {5, "Spelare 1"}}));
}

TEST_F(Contest, TheServerClosesAPeriodThatEndedWhileItWasDownWhenItStarts) {
    signUpPlayers(1);
    scoreAt(0, 100, periodStart);
    now = periodEnd + 3600;
    {
        PeriodCloser closer(service->contest(), 20ms);
        auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!store().period("Vecka 1")->closedAt && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
    }
    EXPECT_EQ(store().period("Vecka 1")->closedAt, periodEnd + 3600);
    EXPECT_EQ(store().winners(periodId()).size(), 1u);
    EXPECT_EQ(mails().size(), 1u);
    // Its close is audited as the service's own.
    EXPECT_EQ(store().audit().back().actor, "zifra-server");
}

TEST_F(Contest, TheAdminCommandLineAnswersBadUseWithOneLineAndItsExitCode) {
    AdminEnvironment environment{"driftare", [this] { return now; }, outbox.string()};
    auto admin = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--db", databaseUrl});
        return runAdmin(arguments, environment);
    };
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string error;
    };
    const Case cases[] = {
        {{}, adminMisused, "no command given (see admin --help)"},
        {{"game", "fly"}, adminMisused, "unknown command game fly (see admin --help)"},
        {{"game", "add", "x", "Namn"}, adminMisused, "a game id must be a whole number, not x"},
        {{"game", "add", "4", "Igen"}, adminFailed, "a game with id 4 exists already"},
        {{"game", "retire", "9"}, adminFailed, "no current game has id 9"},
        {{"period", "open", "V2", "--start", "2027-02-30", "--end", "2027-03-01"}, adminMisused,
         "--start and --end take UTC times like 2027-01-01T00:00:00Z"},
        {{"period", "open", "V2", "--start", "2027-03-01"}, adminMisused, "period open needs --end"},
        {{"period", "close", "Okänd"}, adminFailed, "no period is named Okänd"},
        {{"winners", "Vecka 1"}, adminFailed, "the period Vecka 1 is not closed yet"},
        {{"score", "hide", "1"}, adminMisused, "score hide needs --reason"},
        {{"score", "hide", "999", "--reason", "fusk"}, adminFailed, "no listed score has id 999"},
        {{"account", "ban", "ingen@example.se", "--reason", "fusk"}, adminFailed,
         "no account that is not banned has the address ingen@example.se"},
        {{"score", "list", "--colour", "röd"}, adminMisused, "unknown option --colour (see admin --help)"},
        {{"score", "list", "--game"}, adminMisused, "--game needs a value"},
    };
    for (const Case& c : cases) {
        AdminResult result = admin(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.error;
        EXPECT_EQ(result.error, c.error);
    }
    EXPECT_EQ(runAdmin({"--db", "mysql://x", "game", "list"}, environment).exitCode, adminMisused);

    // A nickname that needs quoting, through the whole course of a period.
    signUp("q@example.se", "Kalle \"K\", Jr", "hemligt1");
    now = periodStart;
    ASSERT_EQ(submit(gameForm("q@example.se", "hemligt1", 4711)).code, AnswerCode::accepted);
    EXPECT_EQ(admin({"--as", "kalle", "period", "close", "Vecka 1"}).output, "period Vecka 1 closed with 1 winners\n");
    EXPECT_EQ(admin({"winners", "Vecka 1"}).output, "4\t1\tKalle \"K\", Jr\t4711\tunclaimed\t-\n");
    EXPECT_EQ(admin({"export", "Vecka 1"}).output,
              "list,period,game_id,game,place,nickname,score,reached_at,bonus_to\n"
              "period,Vecka 1,4,Zifra Invaders,1,\"Kalle \"\"K\"\", Jr\",4711,2027-01-15 08:00 UTC,\n"
              "winner,Vecka 1,4,Zifra Invaders,1,\"Kalle \"\"K\"\", Jr\",4711,2027-01-15 08:00 UTC,\n");
    EXPECT_EQ(admin({"period", "close", "Vecka 1"}).exitCode, adminFailed);
    auto audit = store().audit();
    EXPECT_EQ(audit.back().actor, "kalle");
    EXPECT_EQ(audit.back().action, "period close");
}

TEST_F(Contest, TheCollectiveRankingHasOnlyThoseWhoPlayedEveryCurrentGame) {
    ASSERT_TRUE(store().addGame({5, "Zifra Tetris", true}, organiser, now));
    signUpPlayers(5);
    scoreAt(0, 900, periodStart + 1, 4);  // one game only, however high
    scoreAt(1, 100, periodStart + 2, 4);
    scoreAt(1, 400, periodStart + 3, 4);
    scoreAt(1, 300, periodStart + 4, 5);  // 400 + 300
    scoreAt(2, 200, periodStart + 5, 5);
    scoreAt(2, 500, periodStart + 6, 4);  // 500 + 200, reached after player 1
    scoreAt(3, 350, periodStart - 1, 5);  // before the period
    scoreAt(3, 10, periodStart + 7, 4);
    scoreAt(4, 50, periodStart + 8, 4);
    scoreAt(4, 60, periodStart + 9, 5);
    auto ranking = [&] {
        std::vector<std::pair<std::string, std::int64_t>> got;
        for (const CollectivePlacing& p : store().collectiveTopTen(periodId(), ListedScores::all)) {
            got.emplace_back(p.nickname, p.total);
        }
        return got;
    };
    using Ranking = std::vector<std::pair<std::string, std::int64_t>>;
    EXPECT_EQ(ranking(), (Ranking{{"Spelare 1", 700}, {"Spelare 2", 700}, {"Spelare 4", 110}}));

    auto best = store().scores(nameKey(player(1)), 4).front();
    EXPECT_TRUE(store().hideScore(best.id, organiser, now));
    EXPECT_TRUE(store().banAccount(nameKey(player(2)), organiser, now));
    EXPECT_EQ(ranking(), (Ranking{{"Spelare 1", 400}, {"Spelare 4", 110}}));
    // A third current game nobody has played empties it; retired, it counts no more.
    ASSERT_TRUE(store().addGame({6, "Zifra Pong", true}, organiser, now));
    EXPECT_EQ(ranking(), Ranking{});
    ASSERT_TRUE(store().retireGame(6, organiser, now));
    EXPECT_EQ(ranking().size(), 2u);
    // What was kept step by step is what the scores give when summed anew.
    auto kept = ranking();
    {
        auto connection = pool->borrow();
        SqlTransaction transaction(*connection);
        refreshAllBests(*connection);
        transaction.commit();
    }
    EXPECT_EQ(ranking(), kept);

    // The start page and the JSON interface show it.
    now = periodStart + 10;
    HttpAnswer start = startPageAnswer(*service);
    EXPECT_NE(start.body.find("Tävlingsperiod: <strong>Vecka 1</strong>, slutar 2027-01-16 08:00 UTC."),
              std::string::npos);
    EXPECT_NE(start.body.find("id=\"gemensam\""), std::string::npos);
    EXPECT_NE(start.body.find("id=\"period-5\""), std::string::npos);
    EXPECT_EQ(collectiveAnswer(*service, "").body,
              "{\"period\":{\"name\":\"Vecka 1\",\"start\":\"2027-01-15 08:00 UTC\",\"end\":\"2027-01-16 08:00 "
              "UTC\",\"closed\":false},\"ranking\":[{\"rank\":1,\"nickname\":\"Spelare 1\",\"total\":400},"
              "{\"rank\":2,\"nickname\":\"Spelare 4\",\"total\":110}]}\n");
    EXPECT_EQ(collectiveAnswer(*service, "Okänd").status, 404);
    EXPECT_EQ(topListAnswer(*service, "4", "Okänd").status, 404);
    EXPECT_EQ(topListAnswer(*service, "7", "").status, 404);
}

TEST_F(Contest, TheWinnersPageAndTheClaimFormEscapeWhatPlayersWrote) {
    signUp("x@example.se", "<i>Kalle</i>", "hemligt1");
    now = periodStart;
    ASSERT_EQ(submit(gameForm("x@example.se", "hemligt1", 4711)).code, AnswerCode::accepted);
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    std::string winners = winnersPageAnswer(*service).body;
    EXPECT_NE(winners.find("<td>1</td><td>&lt;i&gt;Kalle&lt;/i&gt;</td><td class=\"score\">4711</td>"),
              std::string::npos);
    EXPECT_EQ(winners.find("<i>Kalle"), std::string::npos);
    EXPECT_EQ(claimFormAnswer(*service, "okänd").status, 410);
    std::stringstream mail;
    mail << std::ifstream(mails().at(0)).rdbuf();
    std::smatch token;
    std::string body = mail.str();
    ASSERT_TRUE(std::regex_search(body, token, std::regex("token=([A-Za-z0-9_-]+)")));
    HttpAnswer faulty = claimAnswer(*service, token[1], {"<script>", "Gatan 1", false});
    EXPECT_EQ(faulty.status, 400);
    EXPECT_NE(faulty.body.find("value=\"&lt;script&gt;\""), std::string::npos);
    EXPECT_EQ(faulty.body.find("<script>"), std::string::npos);
    EXPECT_EQ(claimAnswer(*service, token[1], {"Kalle Anka", "Gatan 1", true}).status, 200);
    EXPECT_EQ(claimAnswer(*service, token[1], {"Kalle Anka", "Gatan 1", true}).status, 410);
}

TEST_F(Contest, EveryPageThatShowsWhatPlayersWroteShowsItAsText) {
    const std::string quoted = "Kalle \"K\" & 'J'", script = "<script>alert(\"x\")</script>";
    signUp("k@example.se", quoted, "hemligt1");
    ASSERT_EQ(service->signUp({"s@example.se", script, "hemligt1", "hemligt1", false, quoted}).outcome, Outcome::done);
    for (const std::string& token : mailedTokens(outbox, "confirm.htm", "s@example.se")) service->confirmEmail(token);
    now = periodStart;
    ASSERT_EQ(submit(gameForm("s@example.se", "hemligt1", 4711)).code, AnswerCode::accepted);
    std::string start = startPageAnswer(*service).body;
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    auto claimTokens = mailedTokens(outbox, "vinst.htm", "s@example.se");
    ASSERT_EQ(claimTokens.size(), 1u);
    // A referrer that is nobody's nickname comes back in the form's value and in the fault that names it.
    const std::string unknown = "\"><b>nobody";
    SignUpForm faulty{"n@example.se", "Nils", "hemligt1", "hemligt1", false, unknown};
    auto faults = service->signUp(faulty).faults;
    ASSERT_EQ(faults.size(), 1u);
    const std::string address = "</textarea><script>x</script>";

    struct Case {
        const char* page;
        std::string body;
        std::vector<std::string> texts;  // each must show as text, and only so
    };
    const std::vector<Case> cases = {
        {"start page: both lists of the period and the collective ranking", start, {script}},
        {"winners page: the winner and the bonus prize's winner", winnersPageAnswer(*service).body, {script, quoted}},
        {"claim form", claimFormAnswer(*service, claimTokens[0]).body, {script}},
        {"claim form sent back with its faults", claimAnswer(*service, claimTokens[0], {quoted, address, false}).body,
         {script, quoted, address}},
        {"sign-up form sent back with its faults", signUpPage(faulty, faults, false).markup(), {unknown, faults[0]}},
        {"sign-up done", signUpPage({"s@example.se", script, "", ""}, {}, true).markup(), {script}},
    };
    for (const Case& c : cases) {
        for (const std::string& text : c.texts) {
            EXPECT_NE(c.body.find(escaped(text).markup()), std::string::npos) << c.page << ": " << text;
            EXPECT_EQ(c.body.find(text), std::string::npos) << c.page << ": " << text;
        }
        EXPECT_EQ(c.body.find("<script"), std::string::npos) << c.page;
    }
    // Where a nickname is listed, it is in its own cell.
    const std::string cell = "<td>" + escaped(script).markup() + "</td>";
    EXPECT_NE(start.find(cell), start.rfind(cell)) << "the period's list and all time's";
    EXPECT_NE(start.find("<table class=\"topplista\" id=\"gemensam\">"), std::string::npos);
}

TEST_F(Contest, NewsGoesToSubscribersOnlyAndEachMailEndsTheSubscriptionWithOneClick) {
    // u asks for news but never confirms the address.
    for (const char* who : {"a", "b", "u"}) {
        std::string email = std::string(who) + "@example.se";
        ASSERT_EQ(service->signUp({email, who, "hemligt1", "hemligt1", true}).faults, std::vector<std::string>{});
        if (*who == 'u') continue;
        for (const std::string& token : mailedTokens(outbox, "confirm.htm", email)) service->confirmEmail(token);
    }
    signUp("c@example.se", "c", "hemligt1");
    ASSERT_TRUE(store().banAccount(nameKey("b@example.se"), organiser, now));
    std::string bodyFile = outbox.string() + "-letter.txt";
    std::ofstream(bodyFile) << "Nu finns Zifra Tetris!\n";
    AdminEnvironment environment{"driftare", [this] { return now; }, outbox.string()};
    auto send = [&] {
        return runAdmin({"--db", databaseUrl, "--site", "http://kvippa.test", "news", "send", "--subject", "Nytt spel",
                         "--body-file", bodyFile},
                        environment);
    };
    EXPECT_EQ(send().output, "news mailed to 1 subscribers\n");
    auto sent = mails();
    ASSERT_EQ(sent.size(), 1u);
    std::stringstream mail;
    mail << std::ifstream(sent[0]).rdbuf();
    std::string text = mail.str();
    EXPECT_NE(text.find("To: a@example.se\r\n"), std::string::npos);
    EXPECT_NE(text.find("Nu finns Zifra Tetris!"), std::string::npos);
    EXPECT_NE(text.find("List-Unsubscribe-Post: List-Unsubscribe=One-Click\r\n"), std::string::npos);
    std::smatch link;
    ASSERT_TRUE(std::regex_search(text, link, std::regex("List-Unsubscribe: <http://kvippa\\.test/avsluta\\.htm\\?token=([A-Za-z0-9_-]{43})>")));
    std::string token = link[1];
    EXPECT_NE(text.find("http://kvippa.test/avsluta.htm?token=" + token + "\r\n"), std::string::npos);

    // With --queue-mail the letter waits in the database for the servers that send by SMTP.
    auto queued = runAdmin({"--db", databaseUrl, "--queue-mail", "news", "send", "--subject", "Kö", "--body-file",
                            bodyFile},
                           environment);
    EXPECT_EQ(queued.output, "news mailed to 1 subscribers\n") << queued.error;
    EXPECT_EQ(mails().size(), 1u);
    EXPECT_EQ(count("SELECT COUNT(*) FROM mail_queue WHERE recipient = 'a@example.se'"), 1);

    // Fetching the link changes nothing; the click does, once.
    EXPECT_EQ(unsubscribeFormAnswer(*service, token).status, 200);
    EXPECT_EQ(count("SELECT news FROM accounts WHERE email_key = 'a@example.se'"), 1);
    EXPECT_EQ(unsubscribeAnswer(*service, token).status, 200);
    EXPECT_EQ(count("SELECT news FROM accounts WHERE email_key = 'a@example.se'"), 0);
    EXPECT_EQ(unsubscribeFormAnswer(*service, token).status, 410);
    EXPECT_EQ(unsubscribeAnswer(*service, "okänd").status, 410);
    EXPECT_EQ(send().output, "news mailed to 0 subscribers\n");
    EXPECT_EQ(store().audit().back().action, "news send");
    EXPECT_EQ(store().audit().back().subject, "Nytt spel (0 mailed)");
    auto missing = runAdmin({"--db", databaseUrl, "news", "send", "--subject", "X", "--body-file", "/ingen/fil"},
                            environment);
    EXPECT_EQ(missing.exitCode, adminFailed);
    EXPECT_EQ(missing.error, "cannot read /ingen/fil");
    std::filesystem::remove(bodyFile);
}

TEST_F(Contest, AWinnersReferrerIsNamedForTheBonusPrizeOneStepUpTheChainOnly) {
    signUp("a@example.se", "Anna", "hemligt1");
    // Signs up and confirms; the faults of the form.
    auto signUpSentBy = [&](const char* email, const char* nickname, const char* referrer) {
        auto faults = service->signUp({email, nickname, "hemligt1", "hemligt1", false, referrer}).faults;
        for (const std::string& token : mailedTokens(outbox, "confirm.htm", email)) service->confirmEmail(token);
        return faults;
    };
    EXPECT_EQ(signUpSentBy("b@example.se", "Berit", " anna "), std::vector<std::string>{});
    EXPECT_EQ(signUpSentBy("c@example.se", "Cecilia", "BERIT"), std::vector<std::string>{});
    EXPECT_EQ(signUpSentBy("d@example.se", "David", "Ingen"),
              std::vector<std::string>{"Ingen spelare har smeknamnet Ingen. Skriv vännens smeknamn i topplistorna."});
    EXPECT_EQ(signUpSentBy("e@example.se", "Erik", "Cecilia"), std::vector<std::string>{});
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts"), 4);
    // Erik's referrer is banned before the close: no bonus for a cheat.
    ASSERT_TRUE(store().banAccount(nameKey("c@example.se"), organiser, now));
    now = periodStart;
    std::int32_t score = 100;
    for (const char* email : {"a@example.se", "b@example.se", "e@example.se"}) {
        ASSERT_EQ(submit(gameForm(email, "hemligt1", score += 100)).code, AnswerCode::accepted);
    }
    now = periodEnd;
    ASSERT_EQ(service->contest().closeEndedPeriods(), 1);
    std::vector<std::pair<std::string, std::string>> got;
    for (const Winner& w : store().winners(periodId())) got.emplace_back(w.nickname, w.referrer);
    EXPECT_EQ(got, (std::vector<std::pair<std::string, std::string>>{{"Erik", ""}, {"Berit", "Anna"}, {"Anna", ""}}));
    // Unbanned later, the frozen winners stay as they were.
    ASSERT_TRUE(store().unbanAccount(nameKey("c@example.se"), organiser, now));
    EXPECT_EQ(store().winners(periodId()).front().referrer, "");
    EXPECT_NE(winnersPageAnswer(*service).body.find("<td>Berit</td><td class=\"score\">300</td><td>Anna</td>"),
              std::string::npos);
}

TEST_F(Contest, UnderVerifiedOnlyTheCollectiveRankingSumsProvenScoresAlone) {
    ASSERT_TRUE(store().addGame({5, "Zifra Tetris", true}, organiser, now));
    signUpPlayers(2);
    ReplayStore replays(*pool);
    int tickets = 0;
    // A proven score, through the queue as a worker stores it.
    auto proven = [&](int p, std::int32_t game, std::int32_t score) {
        std::string ticket = std::string(31, '0') + std::to_string(++tickets);
        std::int64_t account = sqlInteger(
            pool->borrow()->query("SELECT id FROM accounts WHERE email_key = $1", {player(p)})[0][0]);
        replays.addTicket({ticket, account, game, 7, periodStart * 1000});
        auto id = replays.queueReplay(replays.ticket(ticket)->id, {1, 2, 3}, periodStart * 1000 + 1, periodStart + tickets);
        ASSERT_TRUE(id);
        replays.recordVerified(*id, {score, 60000, 0, 0}, periodStart + tickets);
    };
    proven(0, 4, 100);
    proven(0, 5, 50);
    proven(1, 4, 300);
    scoreAt(1, 900, periodStart + 5, 5);  // the game's own form: proves nothing
    using Ranking = std::vector<std::pair<std::string, std::int64_t>>;
    auto ranking = [&](ListedScores listed) {
        Ranking got;
        for (const CollectivePlacing& p : store().collectiveTopTen(periodId(), listed)) got.emplace_back(p.nickname, p.total);
        return got;
    };
    EXPECT_EQ(ranking(ListedScores::all), (Ranking{{"Spelare 1", 1200}, {"Spelare 0", 150}}));
    EXPECT_EQ(ranking(ListedScores::verifiedOnly), (Ranking{{"Spelare 0", 150}}));
}

}  // namespace
