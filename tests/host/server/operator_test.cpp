// What the operator sees: /healthz follows the database, /metrics is a
// scrape that promtool accepts and that counts what happened, and the
// access log names every request without a password, token or address.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "backend.h"
#include "mailed_links.h"
#include "net/submission_form.h"
#include "server/metrics.h"
#include "server/operator_routes.h"
#include "server/schema.h"
#include "server_program.h"

namespace {

using namespace std::chrono_literals;

std::string slurp(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// promtool's verdict on a scrape: empty when it passes.
std::string promtoolFaults(const std::string& scrape) {
    std::string folder = testing::TempDir() + "zifra-metrics-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/scrape.txt") << scrape;
    int status = std::system(("timeout 30 promtool check metrics < " + folder + "/scrape.txt > " + folder +
                              "/promtool.txt 2>&1").c_str());
    std::string said = slurp(folder + "/promtool.txt");
    std::filesystem::remove_all(folder);
    return status == 0 ? "" : "promtool: " + said + "\n" + scrape;
}

TEST(Operator, HealthFollowsTheDatabase) {
    ConnectionPool pool(freshDatabaseUrl(), 1, 200ms);
    RouteTable routes;
    addOperatorRoutes(routes, pool);
    const Route* health = routes.find("GET", "/healthz");
    ASSERT_TRUE(health);
    HttpAnswer good = health->handle({});
    EXPECT_EQ(good.status, 200);
    EXPECT_EQ(good.body, "ok\n");
    {
        // Its one connection taken: the database is out of reach for the service.
        auto held = pool.borrow();
        HttpAnswer bad = health->handle({});
        EXPECT_EQ(bad.status, 503);
        EXPECT_EQ(bad.body, "databasen svarar inte\n");
    }
    EXPECT_EQ(health->handle({}).status, 200);
}

TEST(Operator, MetricsPassPromtoolAndCountWhatHappened) {
    ServiceMetrics metrics;
    metrics.served("submit", 200, 30ms);
    metrics.served("submit", 503, 6s);
    metrics.served("refused", 413, 0ms);
    metrics.answered(AnswerCode::accepted);
    metrics.answered(AnswerCode::wrongPassword);
    metrics.answered(AnswerCode::wrongPassword);
    metrics.waited(Wait::hashing, 2ms);
    metrics.waited(Wait::database, 20s);
    metrics.mailQueued();
    metrics.countConnectionsBy([] { return std::size_t{7}; });
    std::string scrape = metrics.render();

    const char* lines[] = {
        "zifra_http_requests_total{route=\"submit\",status=\"503\"} 1",
        "zifra_http_requests_total{route=\"refused\",status=\"413\"} 1",
        "zifra_http_request_duration_seconds_bucket{route=\"submit\",le=\"0.05\"} 1",
        "zifra_http_request_duration_seconds_bucket{route=\"submit\",le=\"5\"} 1",
        "zifra_http_request_duration_seconds_bucket{route=\"submit\",le=\"10\"} 2",
        "zifra_http_request_duration_seconds_count{route=\"submit\"} 2",
        "zifra_submissions_total{code=\"2\"} 2",
        "zifra_hashing_wait_seconds_bucket{le=\"0.001\"} 0",
        "zifra_hashing_wait_seconds_bucket{le=\"0.005\"} 1",
        "zifra_database_wait_seconds_bucket{le=\"10\"} 0",
        "zifra_database_wait_seconds_bucket{le=\"+Inf\"} 1",
        "zifra_http_connections_open 7",
        "zifra_mail_queued_total 1",
        "zifra_mail_failed_total 0",
    };
    for (const char* line : lines) EXPECT_NE(scrape.find(std::string("\n") + line + "\n"), std::string::npos) << line;
    EXPECT_EQ(promtoolFaults(scrape), "");
}

TEST(Operator, TheAccessLogAndTheMetricsOfARunningServerHaveEveryRequestAndNoSecrets) {
    std::string folder = testing::TempDir() + "zifra-access-" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    RunningServer server = startServerProgram(folder, {"--db", freshDatabaseUrl(), "--access-log", folder + "/access.log"});
    ASSERT_GT(server.port, 0);
    httplib::Client c("127.0.0.1", server.port);
    const std::string email = "anna.hemlig@example.se", password = "lösenord42", token = "TOKENabc123";
    ASSERT_EQ(c.Post("/reg3.htm", httplib::Params{{"email", email}, {"nickname", "Anna"}, {"password", password},
                                                  {"repeated", password}})->status, 200);
    std::vector<std::string> confirmation = mailedTokens(folder + "/outbox", "confirm.htm");
    ASSERT_EQ(confirmation.size(), 1u);
    ASSERT_EQ(c.Get("/confirm.htm?token=" + confirmation[0])->status, 200);
    ASSERT_EQ(c.Post("/confirm.htm", httplib::Params{{"token", confirmation[0]}})->status, 200);
    SubmissionForm form{email, 4, "l\xF6senord42", 10, 600000, 98, "CPU UNKNOWN", 1, 2};
    ASSERT_EQ(c.Post("/r0002.asp", formBody(form), "application/x-www-form-urlencoded")->body.substr(0, 1), "0");
    c.Get("/getpass.htm?mail=" + email);
    c.Post("/getpass.htm", httplib::Params{{"mail", email}});
    c.Get("/reset.htm?token=" + token);
    // A score's state and its replay's download are told apart.
    c.Get("/api/v1/scores/7");
    c.Get("/api/v1/scores/7/replay");
    EXPECT_EQ(c.Get("/healthz")->body, "ok\n");
    auto scrape = c.Get("/metrics");
    ASSERT_TRUE(scrape);
    EXPECT_EQ(promtoolFaults(scrape->body), "");
    for (const char* line : {"zifra_http_requests_total{route=\"signup\",status=\"200\"} 1",
                             "zifra_http_requests_total{route=\"reset_form\",status=\"410\"} 1",
                             "zifra_http_requests_total{route=\"score\",status=\"404\"} 1",
                             "zifra_http_requests_total{route=\"replay_download\",status=\"404\"} 1",
                             "zifra_submissions_total{code=\"0\"} 1", "zifra_mail_queued_total 2",
                             "zifra_http_connections_open 1"}) {
        EXPECT_NE(scrape->body.find(std::string("\n") + line + "\n"), std::string::npos) << line;
    }
    server.process->stop(SIGTERM);

    std::string log = slurp(folder + "/access.log");
    std::istringstream lines(log);
    std::vector<std::string> seen;
    for (std::string line; std::getline(lines, line);) seen.push_back(line);
    ASSERT_EQ(seen.size(), 11u) << log;
    const std::regex shape(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ 127\.0\.0\.1 "(GET|POST) /[^ ?]*" \d{3} \d+\.\d{4} \w+)");
    for (const std::string& line : seen) EXPECT_TRUE(std::regex_match(line, shape)) << line;
    EXPECT_NE(seen[0].find("\"POST /reg3.htm\" 200"), std::string::npos) << seen[0];
    EXPECT_NE(seen[6].find("\"GET /reset.htm\" 410"), std::string::npos) << seen[6];
    for (const std::string& secret : {email, std::string("hemlig"), password, std::string("senord42"), token,
                                      confirmation[0]}) {
        EXPECT_EQ(log.find(secret), std::string::npos) << secret;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
