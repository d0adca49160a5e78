// HttpServer's bounds and its stop, on a small route table of its own and
// raw sockets, so that every byte the client sends is the test's.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "server/http_server.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls `done` for up to `limit`.
bool within(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    auto deadline = Clock::now() + limit;
    while (!done() && Clock::now() < deadline) std::this_thread::sleep_for(10ms);
    return done();
}

// A server on a free loopback port serving `routes` on a thread of its own.
class Serving {
public:
    Serving(RouteTable routes, ConnectionLimits limits = ConnectionLimits{})
        : routes_(std::move(routes)), server_("127.0.0.1", 0, limits) {
        thread_ = std::thread([this] { server_.run(routes_); });
        EXPECT_TRUE(within(5s, [this] { return server_.running(); }));
    }
    ~Serving() {
        server_.stop();
        thread_.join();
    }
    HttpServer& server() { return server_; }
    int port() const { return server_.port(); }

private:
    RouteTable routes_;
    HttpServer server_;
    std::thread thread_;
};

// A connection from `from` (any 127.x.y.z address) to the port.
int connectFrom(int port, const char* from = "127.0.0.1") {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, from, &source.sin_addr);
    EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&source), sizeof source), 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return s;
}

// Everything the server sends until it closes or goes quiet for `quiet`.
std::string readAll(int s, std::chrono::milliseconds quiet = 2000ms) {
    std::string got;
    char buffer[4096];
    for (;;) {
        pollfd p{s, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(quiet.count())) <= 0) return got;
        ssize_t n = recv(s, buffer, sizeof buffer, 0);
        if (n <= 0) return got;
        got.append(buffer, static_cast<std::size_t>(n));
    }
}

// The status of the first answer in `text`, 0 when there is none.
int statusOf(const std::string& text) {
    if (text.rfind("HTTP/1.", 0) != 0 || text.size() < 12) return 0;
    return std::stoi(text.substr(9, 3));
}

// Sends the request and then `tail` `repeats` times, as far as the server
// reads; then what the server answered.
std::string ask(int port, const std::string& request, const std::string& tail = "", int repeats = 0) {
    int s = connectFrom(port);
    bool open = send(s, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    for (int i = 0; open && i < repeats; ++i) {
        open = send(s, tail.data(), tail.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(tail.size());
    }
    std::string answer = readAll(s);
    close(s);
    return answer;
}

// Routes that answer with the body's length and count their calls.
RouteTable echoRoutes(std::atomic<int>& calls) {
    RouteTable routes;
    routes.add({"POST", "/echo", "echo", Work::quick, [&calls](const HttpRequest& r) {
                    ++calls;
                    return answerWith(200, "text/plain", std::to_string(r.body.size()) + ":" + r.param("a"));
                }});
    routes.add({"GET", "/echo", "echo", Work::quick, [&calls](const HttpRequest& r) {
                    ++calls;
                    return answerWith(200, "text/plain", "q:" + r.param("a"));
                }});
    // A route with a limit of its own, above the server's.
    routes.add({"POST", "/upload", "upload", Work::quick,
                [&calls](const HttpRequest& r) {
                    ++calls;
                    return answerWith(200, "text/plain", std::to_string(r.body.size()));
                },
                64 * 1024});
    return routes;
}

std::string chunk(std::size_t size) {
    char head[32];
    std::snprintf(head, sizeof head, "%zx\r\n", size);
    return head + std::string(size, 'x') + "\r\n";
}

TEST(RouteTable, APathIsExactAPrefixOrHasOneSegmentForEachStar) {
    RouteTable routes;
    for (const char* path : {"/", "/a", "/s/*/replay", "/s/", "/p/*"}) {
        routes.add({"GET", path, path, Work::quick, [](const HttpRequest&) { return answerWith(200, "text/plain", ""); }});
    }
    // The path asked for, and the route that takes it ("-": none).
    const std::pair<const char*, const char*> cases[] = {
        {"/", "/"},           {"/a", "/a"},        {"/a/", "-"},           {"/b", "-"},
        {"/s/7/replay", "/s/*/replay"},            {"/s/7", "/s/"},        {"/s//replay", "/s/"},
        {"/s/7/replay/x", "/s/"},                  {"/s/7/8/replay", "/s/"},
        {"/p/x", "/p/*"},     {"/p/", "-"},        {"/p/x/y", "-"},
    };
    for (const auto& [path, route] : cases) {
        const Route* found = routes.find("GET", path);
        EXPECT_EQ(found ? found->name : "-", route) << path;
    }
}

TEST(HttpServer, EveryRequestIsBoundedWhateverItsFraming) {
    std::atomic<int> calls = 0;
    Serving serving(echoRoutes(calls));
    const std::string post = "POST /echo HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
    const std::string upload = "POST /upload HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
    struct Case {
        const char* what;
        std::string request, tail;
        int repeats;
        int status;  // 0: closed without an answer
        bool handled;
    };
    const Case cases[] = {
        {"a form within the limit", post + "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\na=1",
         "", 0, 200, true},
        {"a chunked body within the limit", post + "Transfer-Encoding: chunked\r\n\r\n" + chunk(4000) + chunk(4000) +
         "0\r\n\r\n", "", 0, 200, true},
        {"a length past the limit", post + "Content-Length: 16385\r\n\r\n", "", 0, 413, false},
        {"a length no number can hold", post + "Content-Length: 99999999999999999999999\r\n\r\n", "", 0, 413, false},
        {"a chunked body past the limit", post + "Transfer-Encoding: chunked\r\n\r\n", chunk(65536), 4000, 0, false},
        {"a gzip body", post + "Content-Encoding: gzip\r\nContent-Length: 3\r\n\r\nabc", "", 0, 415, false},
        {"a deflate chunked body", post + "Content-Encoding: deflate\r\nTransfer-Encoding: chunked\r\n\r\n",
         chunk(1000), 10, 415, false},
        {"identity coding", post + "Content-Encoding: identity\r\nContent-Length: 3\r\n\r\nabc", "", 0, 200, true},
        {"a long address", "GET /echo?a=" + std::string(20000, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n", "", 0, 414,
         false},
        {"a long header", "GET /echo HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(20000, 'b') + "\r\n\r\n", "", 0,
         431, false},
        {"many headers", "GET /echo HTTP/1.1\r\nHost: x\r\n" + [] {
             std::string many;
             for (int i = 0; i < 2000; ++i) many += "X-" + std::to_string(i) + ": v\r\n";
             return many;
         }() + "\r\n", "", 0, 431, false},
        {"past the server's limit on a route that takes more", upload + "Content-Length: 20000\r\n\r\n" +
         std::string(20000, 'r'), "", 0, 200, true},
        {"a length past the route's own limit", upload + "Content-Length: 65537\r\n\r\n", "", 0, 413, false},
        {"a chunked body past the route's own limit", upload + "Transfer-Encoding: chunked\r\n\r\n", chunk(16384),
         5, 0, false},
        {"an unknown path", "GET /nowhere HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", "", 0, 404, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int before = calls;
        std::string answer = ask(serving.port(), c.request, c.tail, c.repeats);
        EXPECT_EQ(statusOf(answer), c.status) << answer.substr(0, 200);
        EXPECT_EQ(calls > before, c.handled);
    }
    EXPECT_NE(ask(serving.port(), post + "Transfer-Encoding: chunked\r\n\r\n" + chunk(5) + "0\r\n\r\n").find("\r\n\r\n5:"),
              std::string::npos)
        << "the handler sees the body without its chunk framing";
}

// The resident memory of this process, in bytes.
std::size_t residentBytes() {
    std::ifstream status("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    status >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

TEST(HttpServer, BodyFloodsLeaveMemoryFlat) {
    std::atomic<int> calls = 0;
    Serving serving(echoRoutes(calls));
    const std::string chunked = "POST /echo HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
    ask(serving.port(), chunked, chunk(65536), 10);
    std::size_t before = residentBytes();
    std::vector<std::thread> flood;
    for (int i = 0; i < 16; ++i) flood.emplace_back([&] { ask(serving.port(), chunked, chunk(65536), 256); });
    for (std::thread& t : flood) t.join();
    EXPECT_LT(residentBytes(), before + 32 * 1024 * 1024) << "16 bodies of 16 MiB each were cut off at the limit";
    EXPECT_EQ(calls, 0);
}

TEST(HttpServer, ConnectionsPerAddressAreCappedAndOthersStillServed) {
    std::atomic<int> calls = 0;
    ConnectionLimits limits;
    limits.perAddress = 4;
    Serving serving(echoRoutes(calls), limits);
    std::vector<int> held;
    for (int i = 0; i < 4; ++i) held.push_back(connectFrom(serving.port(), "127.0.0.3"));
    ASSERT_TRUE(within(2s, [&] { return serving.server().openConnections() == 4; }));
    const std::string get = "GET /echo?a=1 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    int fifth = connectFrom(serving.port(), "127.0.0.3");
    send(fifth, get.data(), get.size(), MSG_NOSIGNAL);
    EXPECT_EQ(readAll(fifth), "") << "one over the cap is closed unanswered";
    close(fifth);
    int other = connectFrom(serving.port(), "127.0.0.4");
    send(other, get.data(), get.size(), MSG_NOSIGNAL);
    EXPECT_EQ(statusOf(readAll(other)), 200) << "another address is served meanwhile";
    close(other);
    for (int s : held) close(s);
}

TEST(HttpServer, OnlyTheTrustedProxyNamesTheClient) {
    RouteTable routes;
    routes.add({"GET", "/who", "who", Work::quick,
                [](const HttpRequest& r) { return answerWith(200, "text/plain", "[" + r.remoteAddress + "]"); }});
    HttpServer server("127.0.0.1", 0, ConnectionLimits{});
    server.trustProxy("127.0.0.5");
    std::thread serving([&] { server.run(routes); });
    ASSERT_TRUE(within(5s, [&] { return server.running(); }));
    struct Case {
        const char* from;
        std::string realIp;
        const char* seen;
    };
    const Case cases[] = {
        {"127.0.0.5", "198.51.100.7", "198.51.100.7"},
        {"127.0.0.5", "2001:db8::1", "2001:db8::1"},
        {"127.0.0.5", "198.51.100.7, 10.0.0.1", "127.0.0.5"},
        {"127.0.0.5", "", "127.0.0.5"},
        {"127.0.0.6", "198.51.100.7", "127.0.0.6"},
    };
    for (const Case& c : cases) {
        int s = connectFrom(server.port(), c.from);
        std::string get = "GET /who HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" +
                          (c.realIp.empty() ? "" : "X-Real-IP: " + c.realIp + "\r\n") + "\r\n";
        send(s, get.data(), get.size(), MSG_NOSIGNAL);
        std::string answer = readAll(s);
        close(s);
        EXPECT_NE(answer.find(std::string("[") + c.seen + "]"), std::string::npos) << c.from << " " << c.realIp;
    }
    server.stop();
    serving.join();
}

TEST(HttpServer, AFullQueueIsRefusedAtOnceNotQueuedForever) {
    std::atomic<bool> release = false;
    std::atomic<int> started = 0;
    RouteTable routes;
    routes.add({"GET", "/slow", "slow", Work::quick, [&](const HttpRequest&) {
                    ++started;
                    within(10s, [&] { return release.load(); });
                    return answerWith(200, "text/plain", "done");
                }});
    ConnectionLimits limits;
    limits.quickWorkers = 1;
    limits.queuedRequests = 1;
    Serving serving(std::move(routes), limits);
    const std::string get = "GET /slow HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    int working = connectFrom(serving.port()), waiting = connectFrom(serving.port());
    send(working, get.data(), get.size(), MSG_NOSIGNAL);
    ASSERT_TRUE(within(2s, [&] { return started == 1; }));
    send(waiting, get.data(), get.size(), MSG_NOSIGNAL);
    std::this_thread::sleep_for(200ms);
    auto asked = Clock::now();
    EXPECT_EQ(statusOf(ask(serving.port(), get)), 503);
    EXPECT_LT(Clock::now() - asked, 1s);
    release = true;
    EXPECT_EQ(statusOf(readAll(working)), 200);
    EXPECT_EQ(statusOf(readAll(waiting)), 200);
    close(working);
    close(waiting);
}

TEST(HttpServer, ARequestWhoseHandlerRunsWhenTheServerStopsIsStillAnswered) {
    std::atomic<bool> handling = false, stopped = false;
    RouteTable routes;
    routes.add({"POST", "/slow", "slow", Work::hashing, [&](const HttpRequest&) {
                    handling = true;
                    // As a score being stored while the stop comes.
                    within(5s, [&] { return stopped.load(); });
                    return answerWith(200, "text/plain", "0\r\n3\r\n");
                }});
    HttpServer server("127.0.0.1", 0, ConnectionLimits{});
    int port = server.port();
    ASSERT_GT(port, 0);
    std::thread serving([&] { server.run(routes); });

    std::optional<std::string> answer;
    std::thread asking([&] {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(10);
        if (auto res = client.Post("/slow", "f1=00", "application/x-www-form-urlencoded")) answer = res->body;
    });
    ASSERT_TRUE(within(5s, [&] { return handling.load(); }));
    std::thread stopping([&] { server.stop(); });
    std::this_thread::sleep_for(100ms);
    stopped = true;
    asking.join();
    auto started = Clock::now();
    stopping.join();
    serving.join();
    EXPECT_EQ(answer, "0\r\n3\r\n");
    EXPECT_LT(Clock::now() - started, 1s) << "the kept-alive connection is not waited on after the answer";
}

}  // namespace
