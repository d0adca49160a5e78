// DeadlineServer stopping: what is under way is finished, nothing new is
// waited for.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "server/deadline_server.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls `done` for up to `limit`.
bool within(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    auto deadline = Clock::now() + limit;
    while (!done() && Clock::now() < deadline) std::this_thread::sleep_for(10ms);
    return done();
}

TEST(DeadlineServer, ARequestWhoseHandlerRunsWhenTheServerStopsIsStillAnswered) {
    DeadlineServer server{ConnectionLimits{}};
    std::atomic<bool> handling = false, stopped = false;
    server.Post("/slow", [&](const httplib::Request&, httplib::Response& res) {
        handling = true;
        // As a score being stored while the stop comes.
        within(5s, [&] { return stopped.load(); });
        res.set_content("0\r\n3\r\n", "text/plain");
    });
    int port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread serving([&] { server.serve(); });

    std::optional<std::string> answer;
    std::thread asking([&] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(10);
        if (auto res = client.Post("/slow", "f1=00", "application/x-www-form-urlencoded")) answer = res->body;
    });
    ASSERT_TRUE(within(5s, [&] { return handling.load(); }));
    server.stop();
    stopped = true;
    asking.join();
    auto started = Clock::now();
    serving.join();
    EXPECT_EQ(answer, "0\r\n3\r\n");
    EXPECT_LT(Clock::now() - started, 1s) << "the kept-alive connection is not waited on after the answer";
}

}  // namespace
