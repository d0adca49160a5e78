// The server killed with SIGKILL while players submit: every score it
// answered 0 to is stored when it comes back.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

#include "backend.h"
#include "net/submission_form.h"
#include "server/sql_connection.h"
#include "server_program.h"

namespace {

using namespace std::chrono_literals;

constexpr int players = 8;

std::string playerName(int p) { return "spelare" + std::to_string(p) + "@example.se"; }

TEST(Faults, EveryAnsweredScoreOutlivesAKill) {
    std::string url = freshDatabaseUrl();
    std::string folder = testing::TempDir() + "zifra-faults-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    RunningServer first = startServerProgram(folder, {"--db", url, "--sign-ups-per-address", "0"});
    ASSERT_GT(first.port, 0);

    for (int p = 0; p < players; ++p) {
        httplib::Client c("127.0.0.1", first.port);
        httplib::Params form = {{"email", playerName(p)}, {"nickname", "Spelare " + std::to_string(p)},
                                {"password", "hemligt1"}, {"repeated", "hemligt1"}};
        auto signedUp = c.Post("/reg3.htm", form);
        ASSERT_TRUE(signedUp);
        ASSERT_EQ(signedUp->status, 200);
    }

    confirmMailedAddresses(folder, first.port);

    // Each player sends the scores 1, 2, 3 ... and notes the ones answered 0.
    std::mutex mutex;
    std::vector<std::set<int>> answered(players);
    std::vector<std::thread> threads;
    for (int p = 0; p < players; ++p) {
        threads.emplace_back([&, p] {
            httplib::Client c("127.0.0.1", first.port);
            c.set_read_timeout(5);
            for (int score = 1;; ++score) {
                SubmissionForm form{playerName(p), 4, "hemligt1", score, 600000, 98, "CPU UNKNOWN", 1, 2};
                auto answer = c.Post("/r0002.asp", formBody(form), "application/x-www-form-urlencoded");
                if (!answer) return;
                if (answer->body.rfind("0\r\n", 0) == 0) {
                    std::lock_guard lock(mutex);
                    answered[p].insert(score);
                }
            }
        });
    }
    std::this_thread::sleep_for(1500ms);
    first.process->stop(SIGKILL);
    for (auto& t : threads) t.join();

    RunningServer second = startServerProgram(folder, {"--db", url, "--sign-ups-per-address", "0"});
    ASSERT_GT(second.port, 0);
    auto connection = openSqlConnection(url);
    std::size_t answeredTotal = 0, stored = 0;
    for (int p = 0; p < players; ++p) {
        std::set<int> kept;
        for (const SqlRow& row : connection->query(
                 "SELECT s.score FROM submissions s JOIN accounts a ON a.id = s.account_id WHERE a.email = $1",
                 {playerName(p)})) {
            kept.insert(static_cast<int>(sqlInteger(row[0])));
        }
        for (int score : answered[p]) EXPECT_TRUE(kept.count(score)) << playerName(p) << " score " << score;
        answeredTotal += answered[p].size();
        stored += kept.size();
    }
    std::printf("%s: %zu scores answered 0 before the kill, %zu stored after it\n", backendName(), answeredTotal,
                stored);
    EXPECT_GT(answeredTotal, 0u);

    httplib::Client c("127.0.0.1", second.port);
    SubmissionForm form{playerName(0), 4, "hemligt1", 99999, 600000, 98, "CPU UNKNOWN", 1, 2};
    auto answer = c.Post("/r0002.asp", formBody(form), "application/x-www-form-urlencoded");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->body.substr(0, 3), "0\r\n") << "the restarted server takes scores";
    second.process->stop(SIGTERM);
    EXPECT_EQ(second.process->wait(0ms), 0) << "a SIGTERM ends it cleanly";
    std::filesystem::remove_all(folder);
}

}  // namespace
