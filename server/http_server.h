#pragma once
// The service's HTTP side on libmicrohttpd: one epoll thread reads every
// connection, so a silent or dripping client costs a socket and a little
// memory, never a worker; whole requests go to bounded worker pools. Every
// bound is set through the library's public options or kept here: the
// size of headers and body whatever the transfer coding, connections in
// all and per client address, and a clock for each connection from the
// moment it is accepted.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>

#include "server/route_table.h"
#include "server/worker_pool.h"

struct MHD_Daemon;
struct MHD_Connection;

struct ConnectionLimits {
    // Silence on a connection that long closes it (whole seconds, at least one).
    std::chrono::milliseconds idle{3000};
    // From accepting a connection, or answering its last request, until the
    // next request is all in.
    std::chrono::milliseconds request{10000};
    // For a short answer to go out; a file's only by the idle limit.
    std::chrono::milliseconds write{5000};
    std::size_t requestsPerConnection = 100;
    // Connections open at once from one client address; 0: no limit.
    std::size_t perAddress = 32;
    std::size_t connections = 2000;  // open at once in all
    std::size_t headerBytes = 16 * 1024;  // request line and headers
    std::size_t bodyBytes = 16 * 1024;  // after any transfer coding
    std::size_t quickWorkers = 8, hashingWorkers = 16;
    std::size_t queuedRequests = 256;  // waiting for a worker, per pool
};

// What the server learns of each request once it is over.
struct ServedRequest {
    const HttpRequest* request;
    const Route* route;  // none for a refusal before any handler
    int status;
    std::chrono::steady_clock::duration took;  // from the whole request in to the answer out
};

class HttpServer {
public:
    // Binds host:port (port 0: any free one); throws std::runtime_error when
    // it cannot.
    HttpServer(const std::string& host, int port, ConnectionLimits limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }

    // Serves the routes until stop(); false when the server could not start.
    bool run(const RouteTable& routes);
    // Takes no new request, lets every request under way be answered, then
    // closes every connection and makes run() return.
    void stop();
    bool running() const { return running_; }

    // Requests from this address (a reverse proxy's) are taken to come from
    // the address in their X-Real-IP header; from any other, the header is
    // ignored. Call before run().
    void trustProxy(std::string address) { proxy_ = std::move(address); }
    // Called on the server's thread for every request when it is over.
    void onServed(std::function<void(const ServedRequest&)> observer) { observer_ = std::move(observer); }
    std::size_t openConnections() const { return open_; }

private:
    struct Connection;
    struct Exchange;
    friend struct Callbacks;

    bool take(MHD_Connection* connection, const char* url, const char* method, const char* upload,
              std::size_t* uploadSize, Exchange*& exchange);
    bool dispatch(MHD_Connection* connection, Exchange& exchange);
    std::size_t bodyLimit(const Route& route) const { return route.bodyBytes ? route.bodyBytes : limits_.bodyBytes; }
    bool send(MHD_Connection* connection, Exchange& exchange, HttpAnswer answer);
    void opened(MHD_Connection* connection, void** state);
    void closed(void** state);
    void completed(Exchange* exchange);
    void reap();

    ConnectionLimits limits_;
    int listening_ = -1;
    int port_ = 0;
    const RouteTable* routes_ = nullptr;
    std::string proxy_;
    std::function<void(const ServedRequest&)> observer_;
    MHD_Daemon* daemon_ = nullptr;
    std::unique_ptr<WorkerPool> quick_, hashing_;

    std::mutex mutex_;  // guards the fields below and every Connection's clock
    std::condition_variable changed_;
    std::unordered_set<Connection*> connections_;
    std::size_t busy_ = 0;  // requests taken whole and not yet answered
    bool stopping_ = false, stopped_ = false;
    std::atomic<bool> running_ = false;
    std::atomic<std::size_t> open_ = 0;
    std::thread reaper_;
};
