// The real server on a loopback port of its own, over HTTP.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "backend.h"
#include "game/replay.h"
#include "mailed_links.h"
#include "recorded_game.h"
#include "net/server_response.h"
#include "net/submission_form.h"
#include "server/competition_server.h"

namespace {

using namespace std::chrono_literals;

class HttpService : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(initialisePasswords());
        folder = testing::TempDir() + "zifra-http-" + std::to_string(getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        ServiceSettings settings;
        settings.version = 5;
        settings.outbox = folder / "outbox";
        ConnectionLimits limits;
        limits.idle = 1s;
        limits.request = 2s;
        server = std::make_unique<CompetitionServer>("127.0.0.1", 0, freshDatabaseUrl(), settings, limits);
        port = server->port();
        ASSERT_GT(port, 0);
        serving = std::thread([this] { server->run(); });
        auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!server->running() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(server->running());
    }
    void TearDown() override {
        if (serving.joinable()) {
            server->stop();
            serving.join();
        }
        std::filesystem::remove_all(folder);
    }

    httplib::Client client() {
        httplib::Client c("127.0.0.1", port);
        c.set_connection_timeout(5);
        c.set_read_timeout(10);
        return c;
    }
    std::string site() const { return "http://127.0.0.1:" + std::to_string(port); }

    httplib::Result signUp(const std::string& email, const std::string& nickname, const std::string& password,
                           const std::string& repeated, const httplib::Headers& headers = {}) {
        httplib::Params form = {{"email", email}, {"nickname", nickname}, {"password", password}, {"repeated", repeated}};
        auto page = client().Post("/reg3.htm", headers, form);
        // As the player would, through the link in the mail.
        if (page && page->status == 200) {
            for (const std::string& token : mailedTokens(folder / "outbox", "confirm.htm", email)) {
                client().Post("/confirm.htm", httplib::Params{{"token", token}});
            }
        }
        return page;
    }

    httplib::Result postScore(const std::string& body) {
        return client().Post("/r0002.asp", body, "application/x-www-form-urlencoded");
    }

    std::filesystem::path folder;
    std::unique_ptr<CompetitionServer> server;
    std::thread serving;
    int port = 0;
};

SubmissionForm scoreOf(const std::string& user, const std::string& password, std::int32_t score) {
    return {user, 4, password, score, 600000, 98, "CPU UNKNOWN", 1, 2};
}

TEST_F(HttpService, TheGameReadsEveryAnswerCodeAndTheVersion) {
    ASSERT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1")->status, 200);
    struct Case {
        const char* what;
        std::string body;
        AnswerCode code;
    };
    const Case cases[] = {
        {"a good score", formBody(scoreOf("anna@example.se", "hemligt1", 1250)), AnswerCode::accepted},
        {"an unknown name", formBody(scoreOf("berit@example.se", "hemligt1", 1)), AnswerCode::notSignedUp},
        {"a wrong password", formBody(scoreOf("anna@example.se", "fel", 1)), AnswerCode::wrongPassword},
        {"a negated score", formBody(scoreOf("anna@example.se", "hemligt1", -1)), AnswerCode::refused},
        {"no form", "<html>inget formul\xE4r</html>", AnswerCode::malformed},
        {"an empty body", "", AnswerCode::malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto answer = postScore(c.body);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 200);
        EXPECT_EQ(answer->get_header_value("Content-Type"), "text/plain; charset=windows-1252");
        EXPECT_LE(answer->body.size(), 16383u);
        SubmissionRecord record;
        takeResponse(record, answer->body);
        EXPECT_EQ(record.resultCode, answerNumber(c.code)) << answer->body;
        EXPECT_EQ(record.versionNumber, 5);
    }
    EXPECT_EQ(postScore(formBody(scoreOf("anna@example.se", "hemligt1", 1300)))->body,
              "0\r\n5\r\nPo\xE4ngen \xE4r registrerad.\r\n")
        << "the text in the game's code page";
    auto huge = postScore(std::string(100000, 'f'));
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
}

TEST_F(HttpService, AGameOnATicketIsSentAsItsReplayAndVerifiedOffTheRequest) {
    ASSERT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1")->status, 200);
    const std::pair<std::string, int> tickets[] = {
        {"not json", 400},
        {"[\"anna@example.se\", \"hemligt1\"]", 400},
        {"{\"email\": \"anna@example.se\"}", 400},
        {"{\"email\": \"anna@example.se\", \"password\": 1}", 400},
        {"{\"email\": \"anna@example.se\", \"password\": \"fel\"}", 401},
        {"{\"email\": \"berit@example.se\", \"password\": \"hemligt1\"}", 401},
    };
    for (const auto& [body, status] : tickets) {
        auto answer = client().Post("/api/v1/games", body, "application/json");
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, status) << body;
        EXPECT_EQ(answer->get_header_value("Content-Type"), "application/json; charset=utf-8");
        EXPECT_TRUE(nlohmann::json::parse(answer->body).contains("error")) << answer->body;
    }
    auto issued = client().Post("/api/v1/games", "{\"email\": \"anna@example.se\", \"password\": \"hemligt1\"}",
                                "application/json");
    ASSERT_EQ(issued->status, 200);
    auto ticket = nlohmann::json::parse(issued->body);
    EXPECT_EQ(ticket.at("game"), 4);
    EXPECT_TRUE(std::regex_match(ticket.at("ticket").get<std::string>(), std::regex("[0-9a-f]{32}")));

    // Two seconds of play fit the slack: sent at once, it is taken.
    RecordedGame game = recordGame("over.keys", 50, ticket.at("seed"), ticket.at("ticket"));
    std::string replay(game.replay.begin(), game.replay.end());
    auto queued = client().Post("/api/v1/scores", replay, "application/octet-stream");
    ASSERT_EQ(queued->status, 202) << queued->body;
    auto receipt = nlohmann::json::parse(queued->body);
    EXPECT_EQ(receipt.at("status"), "pending");
    std::string address = "/api/v1/scores/" + std::to_string(receipt.at("id").get<std::int64_t>());

    auto again = client().Post("/api/v1/scores", replay, "application/octet-stream");
    EXPECT_EQ(again->status, 409);
    EXPECT_EQ(nlohmann::json::parse(again->body).at("status"), "refused");
    auto broken = client().Post("/api/v1/scores", replay.substr(1), "application/octet-stream");
    EXPECT_EQ(broken->status, 400);
    EXPECT_NE(nlohmann::json::parse(broken->body).at("reason").get<std::string>().find("cannot be read"),
              std::string::npos);

    nlohmann::json state;
    auto deadline = std::chrono::steady_clock::now() + 10s;
    do {
        std::this_thread::sleep_for(20ms);
        state = nlohmann::json::parse(client().Get(address)->body);
    } while (state.at("status") == "pending" && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(state.at("status"), "verified") << state.dump();
    EXPECT_EQ(state.at("score"), game.shownScore);
    EXPECT_TRUE(state.at("reason").is_null());
    auto download = client().Get(address + "/replay");
    EXPECT_EQ(download->status, 200);
    EXPECT_EQ(download->get_header_value("Content-Type"), "application/octet-stream");
    EXPECT_EQ(download->body, replay);
    auto top = nlohmann::json::parse(client().Get("/api/top?gameid=4")->body);
    EXPECT_EQ(top.at("alltime").at(0).at("verified"), true);
    EXPECT_NE(client().Get("/")->body.find("<td class=\"bevis\">✓</td>"), std::string::npos);

    for (const char* unknown : {"/api/v1/scores/999", "/api/v1/scores/999/replay",
                                       "/api/v1/scores/99999999999999999999"}) {
        auto answer = client().Get(unknown);
        EXPECT_EQ(answer->status, 404) << unknown;
        EXPECT_EQ(answer->get_header_value("Content-Type"), "application/json; charset=utf-8") << unknown;
    }
}

// The ticket is held back as the game's form is, and a replay has a body
// limit of its own, above the forms'.
TEST_F(HttpService, TicketsWaitAfterWrongPasswordsAndReplaysTakeTheirOwnLimit) {
    ASSERT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1")->status, 200);
    auto askTicket = [&](const std::string& password) {
        return client().Post("/api/v1/games", "{\"email\": \"anna@example.se\", \"password\": \"" + password + "\"}",
                             "application/json");
    };
    httplib::Params form = {{"email", "berit@example.se"}, {"nickname", "Berit"}, {"password", "hemligt1"},
                            {"repeated", "hemligt1"}};
    ASSERT_EQ(client().Post("/reg3.htm", form)->status, 200);
    auto unconfirmed = client().Post("/api/v1/games", "{\"email\": \"berit@example.se\", \"password\": \"hemligt1\"}",
                                     "application/json");
    EXPECT_EQ(unconfirmed->status, 403) << unconfirmed->body;

    // Failures from one address hold back every account asked for from it,
    // so this comes after the unconfirmed address's answer.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(askTicket("fel")->status, 401);
    auto held = askTicket("hemligt1");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->status, 429) << held->body;
    EXPECT_EQ(held->get_header_value("Retry-After"), "1");
    EXPECT_EQ(held->get_header_value("Cache-Control"), "no-store");

    struct Case {
        std::size_t bytes;
        int status;
    };
    for (const Case& c : {Case{20000, 400}, Case{ReplayLimits{}.maxBytes + 1, 413}}) {
        auto answer = client().Post("/api/v1/scores", std::string(c.bytes, 'z'), "application/octet-stream");
        ASSERT_TRUE(answer) << c.bytes;
        EXPECT_EQ(answer->status, c.status) << c.bytes;
    }
}

TEST_F(HttpService, WhileNoPasswordCanBeHashedTheAnswerIsTryAgainLater) {
    ASSERT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1")->status, 200);
    std::vector<std::unique_ptr<HashingSlot>> taken;
    for (std::size_t i = 0; i < HashingSlot::count(); ++i) taken.push_back(std::make_unique<HashingSlot>());

    auto score = postScore(formBody(scoreOf("anna@example.se", "hemligt1", 1250)));
    ASSERT_TRUE(score);
    EXPECT_EQ(score->status, 503);
    SubmissionRecord record;
    takeResponse(record, score->body);
    EXPECT_EQ(record.resultCode, answerNumber(AnswerCode::unavailable));
    auto page = signUp("berit@example.se", "Berit", "hemligt1", "hemligt1");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 503);
    EXPECT_NE(page->body.find("Försök igen om en stund."), std::string::npos);

    taken.clear();
    EXPECT_EQ(postScore(formBody(scoreOf("anna@example.se", "hemligt1", 1250)))->body.substr(0, 3), "0\r\n");
    EXPECT_EQ(signUp("berit@example.se", "Berit", "hemligt1", "hemligt1")->status, 200);
}

TEST_F(HttpService, EveryPageIsUtf8HtmlAndUnknownOnesAreNotFound) {
    const std::pair<std::string, int> pages[] = {
        {"/", 200},          {"/index2.htm", 200},         {"/reg3.htm", 200},          {"/reg2.htm", 200},
        {"/getpass.htm?mail=anna@example.se", 200},         {"/version.htm?gameid=5", 200},
        {"/version.htm?gameid=6", 404},                     {"/version.htm?gameid=x", 404},
        {"/reset.htm?token=nothing", 410},                  {"/nowhere.htm", 404},
        {"/confirm.htm?token=nothing", 410},
    };
    for (const auto& [path, status] : pages) {
        auto page = client().Get(path);
        ASSERT_TRUE(page) << path;
        EXPECT_EQ(page->status, status) << path;
        EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8") << path;
        EXPECT_NE(page->body.find("<html lang=\"sv\">"), std::string::npos) << path;
    }
    // The address as the game sends it (code page 1252) and as a browser does.
    const std::pair<std::string, std::string> mails[] = {
        {"anna@example.se", "anna@example.se"},
        {"%E5sa%40x.se", "åsa@x.se"},
        {"%C5sa.%D6berg%2B1%40x.se", "Åsa.Öberg+1@x.se"},
        {"%C3%A5sa@x.se", "åsa@x.se"},
    };
    for (const auto& [sent, shown] : mails) {
        EXPECT_NE(client().Get("/getpass.htm?mail=" + sent)->body.find("value=\"" + shown + "\""), std::string::npos)
            << sent;
    }
    EXPECT_EQ(client().Get("/api/top?gameid=4")->body, "{\"gameid\":4,\"period\":null,\"top\":[],\"alltime\":[]}\n");
    auto unknown = client().Get("/api/top?gameid=7");
    EXPECT_EQ(unknown->status, 404);
    EXPECT_EQ(unknown->get_header_value("Content-Type"), "application/json; charset=utf-8");
}

TEST_F(HttpService, EveryAnswerCarriesTheBrowserSafetyHeaders) {
    ASSERT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1")->status, 200);
    struct Case {
        const char* what;
        std::function<httplib::Result()> ask;
        bool noStore;  // carries a token or an address
    };
    const Case cases[] = {
        {"the start page", [&] { return client().Get("/"); }, false},
        {"the list", [&] { return client().Get("/api/top?gameid=4"); }, false},
        {"a score", [&] { return postScore(formBody(scoreOf("anna@example.se", "hemligt1", 1))); }, false},
        {"not found", [&] { return client().Get("/nowhere"); }, false},
        {"a packed body", [&] { return client().Post("/r0002.asp", {{"Content-Encoding", "gzip"}}, "x", "text/plain"); },
         false},
        // It may carry a challenge link's token.
        {"the sign-up form", [&] { return client().Get("/reg3.htm"); }, true},
        {"a challenge link's sign-up form", [&] { return client().Get("/reg3.htm?utmaning=abc"); }, true},
        // Signed in, it carries the session's form token.
        {"the challenge page", [&] { return client().Get("/index2.htm"); }, true},
        {"a sign-up", [&] { return signUp("berit@example.se", "Berit", "hemligt1", "hemligt1"); }, true},
        {"password help", [&] { return client().Get("/getpass.htm?mail=anna@example.se"); }, true},
        {"a reset link", [&] { return client().Get("/reset.htm?token=abc"); }, true},
        {"a confirmation link", [&] { return client().Get("/confirm.htm?token=abc"); }, true},
        {"a new password", [&] {
             return client().Post("/reset.htm", httplib::Params{{"token", "abc"}, {"password", "x"}, {"repeated", "x"}});
         }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto answer = c.ask();
        ASSERT_TRUE(answer);
        EXPECT_NE(answer->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'"), std::string::npos);
        EXPECT_EQ(answer->get_header_value("X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(answer->get_header_value("Referrer-Policy"), "same-origin");
        EXPECT_EQ(answer->get_header_value("Cache-Control") == "no-store", c.noStore);
    }
}

TEST_F(HttpService, UserTextIsEscapedWhereverItIsShown) {
    const std::string nickname = "<b>&\"x'";
    ASSERT_EQ(signUp("anna@example.se", nickname, "hemligt1", "hemligt1")->status, 200);
    ASSERT_EQ(postScore(formBody(scoreOf("anna@example.se", "hemligt1", 1250)))->body.substr(0, 1), "0");

    std::string start = client().Get("/")->body;
    EXPECT_NE(start.find("<td>&lt;b&gt;&amp;&quot;x&#39;</td><td class=\"score\">1250</td>"), std::string::npos);
    EXPECT_EQ(start.find(nickname), std::string::npos);
    EXPECT_NE(client().Get("/api/top?gameid=4")->body.find("\"nickname\":\"<b>&\\\"x'\",\"score\":1250"),
              std::string::npos);
    // The game's own form proves nothing.
    EXPECT_NE(client().Get("/api/top?gameid=4")->body.find("\"verified\":false}"), std::string::npos);

    // The sign-up form comes back filled with what was sent, escaped.
    auto again = signUp("\"><script>alert(1)</script>", nickname, "a", "b");
    EXPECT_EQ(again->status, 400);
    EXPECT_NE(again->body.find("value=\"&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\""), std::string::npos);
    EXPECT_EQ(again->body.find("<script>"), std::string::npos);
    auto help = client().Get("/getpass.htm?mail=%22%3E%3Cscript%3E");
    EXPECT_EQ(help->body.find("\"><script>"), std::string::npos);
}

TEST_F(HttpService, FormsPostedFromAnotherSiteChangeNothing) {
    const httplib::Headers foreign[] = {{{"Origin", "http://elak.example"}},
                                        {{"Origin", "null"}},
                                        {{"Referer", "http://elak.example/reg3.htm"}}};
    for (const auto& headers : foreign) {
        EXPECT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1", headers)->status, 403);
        EXPECT_EQ(client().Post("/getpass.htm", headers, httplib::Params{{"mail", "anna@example.se"}})->status, 403);
        EXPECT_EQ(client().Post("/confirm.htm", headers, httplib::Params{{"token", "x"}})->status, 403);
    }
    EXPECT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1", {{"Origin", site()}})->status, 200);
    EXPECT_EQ(mailedTokens(folder / "outbox", "confirm.htm").size(), 1u) << "the one sign-up from the service's page";
    EXPECT_EQ(mailedTokens(folder / "outbox", "reset.htm").size(), 0u);
}

TEST_F(HttpService, APasswordResetThroughThePages) {
    ASSERT_EQ(signUp("anna@example.se", "Anna", "hemligt1", "hemligt1")->status, 200);
    // Whatever Host the asker writes, the link leads to the service itself.
    auto asked = client().Post("/getpass.htm", {{"Host", "elak.example"}}, httplib::Params{{"mail", "anna@example.se"}});
    EXPECT_EQ(asked->status, 200);
    ASSERT_TRUE(std::filesystem::exists(folder / "outbox"));
    std::stringstream mail;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "outbox")) {
        mail << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    }
    std::smatch link;
    std::string text = mail.str();
    EXPECT_EQ(text.find("elak.example"), std::string::npos) << text;
    ASSERT_TRUE(std::regex_search(text, link, std::regex("\r\nhttp://127\\.0\\.0\\.1:" + std::to_string(port) +
                                                         "/reset\\.htm\\?token=([A-Za-z0-9_-]+)")));
    std::string token = link[1];

    auto form = client().Get("/reset.htm?token=" + token);
    EXPECT_EQ(form->status, 200);
    EXPECT_NE(form->body.find("name=\"token\" value=\"" + token + "\""), std::string::npos);
    auto done = client().Post("/reset.htm", httplib::Params{{"token", token}, {"password", "nyttord1"},
                                                            {"repeated", "nyttord1"}});
    EXPECT_EQ(done->status, 200);
    EXPECT_EQ(client().Get("/reset.htm?token=" + token)->status, 410);
    EXPECT_EQ(postScore(formBody(scoreOf("anna@example.se", "nyttord1", 10)))->body.substr(0, 1), "0");
}

// A raw connection to the server.
int connectRaw(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return s;
}

// True once the server has closed the connection, within `limit`.
bool closedWithin(int s, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{s, POLLIN, 100};
        if (poll(&p, 1, 100) > 0) {
            char c;
            if (recv(s, &c, 1, MSG_DONTWAIT) <= 0) return true;
        }
    }
    return false;
}

TEST_F(HttpService, SilentAndDrippingClientsHoldUpNobodyAndAreCutOff) {
    constexpr int silentCount = 12, drippingCount = 12;
    std::vector<int> silent, dripping;
    for (int i = 0; i < silentCount; ++i) silent.push_back(connectRaw(port));
    for (int i = 0; i < drippingCount; ++i) dripping.push_back(connectRaw(port));
    std::atomic<bool> dripOn = true;
    std::thread dripper([&] {
        const std::string request = "POST /r0002.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 1000\r\n\r\n";
        for (std::size_t i = 0; dripOn && i < request.size(); ++i) {
            for (int s : dripping) send(s, &request[i], 1, MSG_NOSIGNAL);
            std::this_thread::sleep_for(300ms);
        }
    });

    // Meanwhile the others are served at once.
    for (int i = 0; i < 10; ++i) {
        auto started = std::chrono::steady_clock::now();
        auto page = client().Get("/api/top?gameid=4");
        ASSERT_TRUE(page);
        EXPECT_EQ(page->status, 200);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 800ms);
    }
    // The idle limit is 1 s and a request must be in within 2 s of its first byte.
    for (int s : silent) EXPECT_TRUE(closedWithin(s, 2500ms)) << "a silent client";
    for (int s : dripping) EXPECT_TRUE(closedWithin(s, 3500ms)) << "a dripping client";
    dripOn = false;
    dripper.join();
    for (int s : silent) close(s);
    for (int s : dripping) close(s);
}

}  // namespace
