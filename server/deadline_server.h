#pragma once
// cpp-httplib's server with connections that no slow client can hold: the
// library bounds each single read, so a client dripping one byte a second
// would keep a worker forever. Here each request must arrive whole within a
// deadline, and a kept-alive connection is closed when its next request does
// not begin soon. The library still parses and answers every request.
#include <httplib.h>

#include <chrono>

struct ConnectionLimits {
    std::chrono::milliseconds idle{3000};  // wait for a request to begin
    std::chrono::milliseconds request{10000};  // from its first byte until it is all in
    std::chrono::milliseconds write{5000};  // for each part of the answer to go out
    std::size_t requestsPerConnection = 100;
};

class DeadlineServer : public httplib::Server {
public:
    explicit DeadlineServer(ConnectionLimits limits);
    // Closes a socket that was bound but never served: the library closes
    // only one it has listened on.
    ~DeadlineServer() override;

    // cpp-httplib 0.11 listens with a queue of 5 connections: players who
    // all send at once would have their connections dropped. Call after
    // binding.
    void lengthenListenQueue();

    // listen_after_bind(), noting that the library now owns the socket.
    bool serve();

private:
    bool process_and_close_socket(socket_t sock) override;

    ConnectionLimits limits_;
    bool served_ = false;
};
