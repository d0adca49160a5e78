#include "server/deadline_server.h"

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace {

using Clock = std::chrono::steady_clock;

// Waits are cut into slices so that a stopping server is noticed at once.
constexpr std::chrono::milliseconds slice{100};

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET) {
        auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (address.ss_family == AF_INET6) {
        auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

class DeadlineStream : public httplib::Stream {
public:
    DeadlineStream(socket_t sock, const std::atomic<socket_t>& listening, std::chrono::milliseconds writeLimit)
        : sock_(sock), listening_(listening), writeLimit_(writeLimit) {}

    // Waits up to `limit` for a request to begin; false when none does or
    // the server stops meanwhile.
    bool awaitRequest(std::chrono::milliseconds limit) {
        if (start_ < end_) return true;
        return wait(POLLIN, Clock::now() + limit, true);
    }
    void setDeadline(Clock::time_point deadline) { deadline_ = deadline; }

    bool is_readable() const override { return start_ < end_ || pollNow(POLLIN); }
    bool is_writable() const override { return pollNow(POLLOUT); }

    ssize_t read(char* ptr, size_t size) override {
        if (start_ == end_) {
            if (!wait(POLLIN, deadline_)) return -1;
            ssize_t got = recv(sock_, buffer_, sizeof buffer_, 0);
            if (got <= 0) return got;
            start_ = 0;
            end_ = static_cast<std::size_t>(got);
        }
        std::size_t n = std::min(size, end_ - start_);
        std::copy(buffer_ + start_, buffer_ + start_ + n, ptr);
        start_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (!wait(POLLOUT, Clock::now() + writeLimit_)) return -1;
        return send(sock_, ptr, size, MSG_NOSIGNAL);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) addressOf(address, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) addressOf(address, ip, port);
    }
    socket_t socket() const override { return sock_; }

private:
    bool pollNow(short events) const {
        pollfd p{sock_, events, 0};
        return poll(&p, 1, 0) > 0;
    }

    // Until the socket is ready or the deadline passes, or with `untilStop`
    // the server stops. Only the wait for a new request gives way to a
    // stop: a request under way is read and answered within its own
    // deadlines, so that a score its handler has stored is answered.
    bool wait(short events, Clock::time_point deadline, bool untilStop = false) const {
        while (!untilStop || listening_ != INVALID_SOCKET) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            pollfd p{sock_, events, 0};
            int ready = poll(&p, 1, static_cast<int>(std::min(left, slice).count()));
            if (ready > 0) return true;
            if (ready < 0 && errno != EINTR) return false;
        }
        return false;
    }

    socket_t sock_;
    const std::atomic<socket_t>& listening_;
    std::chrono::milliseconds writeLimit_;
    Clock::time_point deadline_ = Clock::now();
    char buffer_[4096];
    std::size_t start_ = 0, end_ = 0;
};

}  // namespace

DeadlineServer::DeadlineServer(ConnectionLimits limits) : limits_(limits) {}

DeadlineServer::~DeadlineServer() {
    if (!served_ && svr_sock_ != INVALID_SOCKET) ::close(svr_sock_);
}

bool DeadlineServer::serve() {
    served_ = true;
    return listen_after_bind();
}

void DeadlineServer::lengthenListenQueue() { ::listen(svr_sock_, SOMAXCONN); }

bool DeadlineServer::process_and_close_socket(socket_t sock) {
    // An answer goes out in several writes; none may wait for the client's
    // delayed acknowledgement of the one before.
    int on = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    bool served = true;
    {
        DeadlineStream stream(sock, svr_sock_, limits_.write);
        for (std::size_t left = limits_.requestsPerConnection; left > 0 && svr_sock_ != INVALID_SOCKET; --left) {
            if (!stream.awaitRequest(limits_.idle)) break;
            stream.setDeadline(Clock::now() + limits_.request);
            bool closed = false;
            served = process_request(stream, left == 1, closed, nullptr);
            if (!served || closed) break;
        }
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}
