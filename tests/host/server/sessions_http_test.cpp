// The session cookie over real HTTP: the real server on a loopback port,
// a browser that keeps the cookie it is given and sends it back.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "backend.h"
#include "mailed_links.h"
#include "server/competition_server.h"

namespace {

using namespace std::chrono_literals;

class SessionsOverHttp : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(initialisePasswords());
        folder = testing::TempDir() + "zifra-sessions-" + std::to_string(getpid());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        ServiceSettings settings;
        settings.outbox = folder / "outbox";
        settings.site = "https://kvippa.test";
        ConnectionLimits limits;
        limits.idle = 1s;
        limits.request = 2s;
        server = std::make_unique<CompetitionServer>("127.0.0.1", 0, freshDatabaseUrl(), settings, limits);
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
        httplib::Client c("127.0.0.1", server->port());
        c.set_connection_timeout(5);
        c.set_read_timeout(10);
        return c;
    }
    httplib::Headers withCookie() const {
        return cookie.empty() ? httplib::Headers{} : httplib::Headers{{"Cookie", cookie}};
    }
    // As a browser: the cookie an answer sets replaces the one before.
    void take(const httplib::Result& answer) {
        if (!answer || !answer->has_header("Set-Cookie")) return;
        std::string value = answer->get_header_value("Set-Cookie");
        std::string pair = value.substr(0, value.find(';'));
        cookie = pair == "zifra_session=" ? "" : pair;
    }
    httplib::Result get(const std::string& path) { return client().Get(path, withCookie()); }
    httplib::Result post(const std::string& path, const httplib::Params& form) {
        auto answer = client().Post(path, withCookie(), form);
        take(answer);
        return answer;
    }

    std::filesystem::path folder;
    std::unique_ptr<CompetitionServer> server;
    std::thread serving;
    std::string cookie;
};

TEST_F(SessionsOverHttp, ABrowserSignsInUsesMyPagesAndSignsOut) {
    ASSERT_EQ(
        post("/reg3.htm",
             {{"email", "anna@example.se"}, {"nickname", "Anna"}, {"password", "hemligt1"}, {"repeated", "hemligt1"}})
            ->status,
        200);
    for (const std::string& token : mailedTokens(folder / "outbox", "confirm.htm", "anna@example.se")) {
        post("/confirm.htm", {{"token", token}});
    }
    auto visitor = get("/mina-sidor");
    ASSERT_TRUE(visitor);
    EXPECT_EQ(visitor->status, 303);
    EXPECT_EQ(visitor->get_header_value("Location"), "/logga-in.htm?next=/mina-sidor");
    EXPECT_NE(get("/logga-in.htm")->body.find("action=\"/logga-in.htm\""), std::string::npos);

    auto signedIn =
        post("/logga-in.htm", {{"email", "anna@example.se"}, {"password", "hemligt1"}, {"next", "/mina-sidor"}});
    ASSERT_TRUE(signedIn);
    EXPECT_EQ(signedIn->status, 303);
    EXPECT_NE(signedIn->get_header_value("Set-Cookie").find("; HttpOnly; SameSite=Lax; Secure"), std::string::npos);
    EXPECT_EQ(signedIn->get_header_value("Cache-Control"), "no-store");
    ASSERT_FALSE(cookie.empty());

    auto mine = get("/mina-sidor");
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->status, 200);
    EXPECT_EQ(mine->get_header_value("Cache-Control"), "no-store");
    EXPECT_NE(mine->body.find("<strong>Anna</strong>"), std::string::npos);
    std::smatch token;
    ASSERT_TRUE(std::regex_search(mine->body, token, std::regex("name=\"form\" value=\"([A-Za-z0-9_-]+)\"")));
    std::string form = token[1];

    EXPECT_EQ(post("/mina-sidor/nyheter", {{"form", form}, {"news", "ja"}})->status, 303);
    EXPECT_NE(get("/mina-sidor")->body.find("value=\"ja\" checked"), std::string::npos);
    auto data = get("/mina-sidor/data.json");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->get_header_value("Content-Disposition"), "attachment; filename=\"kvippa-mina-uppgifter.json\"");
    EXPECT_NE(data->body.find("\"news\": true"), std::string::npos);

    std::string before = cookie;
    EXPECT_EQ(post("/logga-ut.htm", {{"form", "fel"}})->status, 403);
    EXPECT_EQ(cookie, before);
    auto out = post("/logga-ut.htm", {{"form", form}});
    EXPECT_EQ(out->status, 303);
    EXPECT_TRUE(cookie.empty());
    cookie = before;  // a copy kept of the cookie opens nothing any more
    EXPECT_EQ(get("/mina-sidor")->status, 303);
}

}  // namespace
