// Two servers on one database behind a real nginx: one killed under load,
// every score answered 0 is stored, and both count wrong passwords together.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "backend.h"
#include "child_process.h"
#include "net/submission_form.h"
#include "server/sql_connection.h"
#include "server_program.h"

namespace {

using namespace std::chrono_literals;

// nginx with a configuration and prefix of its own, in front of the ports.
class Nginx {
public:
    Nginx(const std::string& folder, const std::vector<int>& upstreams) : folder_(folder), port_(freeLoopbackPort()) {
        std::ofstream conf(folder + "/nginx.conf");
        conf << "worker_processes 1;\npid " << folder << "/nginx.pid;\nerror_log " << folder << "/nginx-error.log;\n"
             << "events { worker_connections 256; }\nhttp {\n  access_log off;\n  upstream zifra {\n";
        for (int port : upstreams) conf << "    server 127.0.0.1:" << port << " max_fails=1 fail_timeout=30s;\n";
        conf << "  }\n  client_body_temp_path " << folder << "/body;\n  proxy_temp_path " << folder << "/proxy;\n"
             << "  fastcgi_temp_path " << folder << "/fastcgi;\n  uwsgi_temp_path " << folder << "/uwsgi;\n"
             << "  scgi_temp_path " << folder << "/scgi;\n"
             << "  server {\n    listen 127.0.0.1:" << port_ << ";\n    location / {\n"
             << "      proxy_pass http://zifra;\n      proxy_set_header Host 127.0.0.1:" << port_ << ";\n"
             << "      proxy_set_header X-Real-IP $remote_addr;\n    }\n  }\n}\n";
        conf.close();
        ChildProcess start({"/usr/sbin/nginx", "-c", folder + "/nginx.conf", "-p", folder}, folder);
        EXPECT_EQ(start.wait(20s), 0) << "nginx did not start";
        auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!(std::ifstream(folder + "/nginx.pid") >> pid_) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_GT(pid_, 0) << "nginx wrote no pid file";
    }
    // Stops the master by the pid it wrote; it takes its workers along.
    ~Nginx() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100 && kill(pid_, 0) == 0; ++i) std::this_thread::sleep_for(50ms);
    }
    int port() const { return port_; }

private:
    std::string folder_;
    int port_;
    pid_t pid_ = 0;
};

std::string playerName(int p) { return "spelare" + std::to_string(p) + "@example.se"; }

httplib::Result post(int port, const std::string& body) {
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(10);
    return c.Post("/r0002.asp", body, "application/x-www-form-urlencoded");
}

// The test's folder, removed when the test is over (after nginx is stopped).
struct Folder {
    std::string path = testing::TempDir() + "zifra-two-" + std::to_string(getpid());
    Folder() {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~Folder() { std::filesystem::remove_all(path); }
};

TEST(TwoServers, BehindNginxOneIsKilledAndNoAnsweredScoreIsLostAndBackOffIsShared) {
    std::string url = freshDatabaseUrl();
    Folder scratch;
    const std::string& folder = scratch.path;
    const std::vector<std::string> options = {"--db", url, "--proxy", "127.0.0.1", "--connections-per-address", "0",
                                              "--sign-ups-per-address", "0"};
    RunningServer first = startServerProgram(folder, options), second = startServerProgram(folder, options);
    ASSERT_GT(first.port, 0);
    ASSERT_GT(second.port, 0);
    Nginx nginx(folder, {first.port, second.port});

    constexpr int players = 8;
    // The players, and one more whose password is guessed at.
    for (int p = 0; p <= players; ++p) {
        httplib::Client c("127.0.0.1", nginx.port());
        auto page = c.Post("/reg3.htm", httplib::Params{{"email", playerName(p)}, {"nickname", "Spelare " + std::to_string(p)},
                                                         {"password", "hemligt1"}, {"repeated", "hemligt1"}});
        ASSERT_TRUE(page);
        ASSERT_EQ(page->status, 200);
    }
    confirmMailedAddresses(folder, nginx.port());

    // Wrong passwords for one account through either server, directly and
    // through nginx: the fourth waits on both.
    SubmissionForm guess{playerName(players), 4, "fel", 1, 600000, 98, "CPU UNKNOWN", 1, 2};
    EXPECT_EQ(post(first.port, formBody(guess))->body.substr(0, 1), "2");
    EXPECT_EQ(post(second.port, formBody(guess))->body.substr(0, 1), "2");
    EXPECT_EQ(post(nginx.port(), formBody(guess))->body.substr(0, 1), "2");
    for (int port : {first.port, second.port, nginx.port()}) {
        auto answer = post(port, formBody(guess));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->body.substr(0, 1), "5") << "port " << port << ": " << answer->body;
    }

    std::mutex mutex;
    std::vector<std::set<int>> answered(players);
    std::atomic<bool> going = true;
    std::vector<std::thread> threads;
    for (int p = 0; p < players; ++p) {
        threads.emplace_back([&, p] {
            for (int score = 1; going; ++score) {
                SubmissionForm form{playerName(p), 4, "hemligt1", score, 600000, 98, "CPU UNKNOWN", 1, 2};
                auto answer = post(nginx.port(), formBody(form));
                if (answer && answer->status == 200 && answer->body.rfind("0\r\n", 0) == 0) {
                    std::lock_guard lock(mutex);
                    answered[p].insert(score);
                }
            }
        });
    }
    std::this_thread::sleep_for(1500ms);
    first.process->stop(SIGKILL);
    std::size_t beforeKill = 0;
    {
        std::lock_guard lock(mutex);
        for (const auto& scores : answered) beforeKill += scores.size();
    }
    std::this_thread::sleep_for(1500ms);
    going = false;
    for (auto& t : threads) t.join();

    auto connection = openSqlConnection(url);
    std::size_t answeredTotal = 0;
    for (int p = 0; p < players; ++p) {
        std::set<int> kept;
        for (const SqlRow& row : connection->query(
                 "SELECT s.score FROM submissions s JOIN accounts a ON a.id = s.account_id WHERE a.email = $1",
                 {playerName(p)})) {
            kept.insert(static_cast<int>(sqlInteger(row[0])));
        }
        for (int score : answered[p]) EXPECT_TRUE(kept.count(score)) << playerName(p) << " score " << score;
        answeredTotal += answered[p].size();
    }
    std::printf("%s: %zu scores answered 0 through nginx, %zu of them before the kill\n", backendName(), answeredTotal,
                beforeKill);
    EXPECT_GT(beforeKill, 0u);
    EXPECT_GT(answeredTotal, beforeKill) << "the other server went on answering";
    second.process->stop(SIGTERM);
}

}  // namespace
