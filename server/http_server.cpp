#include "server/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How often connections past their clock are looked for.
constexpr auto reapEvery = 100ms;
// How long a stop waits for the requests under way.
constexpr auto stopWait = 30s;
// An answer longer than this goes out under the idle limit alone.
constexpr std::size_t shortAnswer = 64 * 1024;

std::string ipOf(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address && address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (address && address->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    }
    return text;
}

std::string localAddressOf(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
    auto* any = reinterpret_cast<const sockaddr*>(&address);
    int port = any->sa_family == AF_INET6 ? ntohs(reinterpret_cast<const sockaddr_in6*>(any)->sin6_port)
                                          : ntohs(reinterpret_cast<const sockaddr_in*>(any)->sin_port);
    std::string ip = ipOf(any);
    return (any->sa_family == AF_INET6 ? "[" + ip + "]" : ip) + ":" + std::to_string(port);
}

// A listening socket on host:port with a long queue, so that players who
// all send at once are not turned away by the kernel.
int listenOn(const std::string& host, int port, int& bound) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, SOMAXCONN) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) return -1;
    std::string local = localAddressOf(fd);
    bound = std::stoi(local.substr(local.rfind(':') + 1));
    return fd;
}

bool formType(const std::string& contentType) {
    return contentType.rfind("application/x-www-form-urlencoded", 0) == 0;
}

MHD_Result collect(void* into, MHD_ValueKind, const char* key, size_t keyLength, const char* value,
                   size_t valueLength) {
    auto& pairs = *static_cast<std::vector<std::pair<std::string, std::string>>*>(into);
    pairs.emplace_back(std::string(key, keyLength), value ? std::string(value, valueLength) : std::string());
    return MHD_YES;
}

}  // namespace

// A connection's clock: while `timed`, it is closed at `deadline`.
struct HttpServer::Connection {
    int fd;
    Clock::time_point deadline;
    bool timed = true;
    std::size_t answered = 0;
};

// One request from its headers to its answer.
struct HttpServer::Exchange {
    explicit Exchange(Connection* c) : connection(c) {}
    Connection* connection;
    const Route* route = nullptr;
    HttpRequest request;
    bool tooLarge = false, dispatched = false, queued = false;
    std::atomic<bool> ready = false;  // set by the worker once `answer` is written
    HttpAnswer answer;
    int status = 0;
    Clock::time_point whole;  // when the request was all in
};

struct Callbacks {
    static MHD_Result request(void* self, MHD_Connection* connection, const char* url, const char* method,
                              const char*, const char* upload, size_t* uploadSize, void** exchange) {
        auto*& ours = reinterpret_cast<HttpServer::Exchange*&>(*exchange);
        try {
            return static_cast<HttpServer*>(self)->take(connection, url, method, upload, uploadSize, ours) ? MHD_YES
                                                                                                           : MHD_NO;
        } catch (const std::exception&) {
            return MHD_NO;  // out of memory, say: the connection is closed
        }
    }
    static void completed(void* self, MHD_Connection*, void** exchange, MHD_RequestTerminationCode) {
        static_cast<HttpServer*>(self)->completed(static_cast<HttpServer::Exchange*>(*exchange));
        *exchange = nullptr;
    }
    static void connection(void* self, MHD_Connection* connection, void** state, MHD_ConnectionNotificationCode code) {
        auto* server = static_cast<HttpServer*>(self);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            server->opened(connection, state);
        } else {
            server->closed(state);
        }
    }
};

HttpServer::HttpServer(const std::string& host, int port, ConnectionLimits limits) : limits_(limits) {
    listening_ = listenOn(host, port, port_);
    if (listening_ < 0) {
        std::string address = host.find(':') == std::string::npos ? host : "[" + host + "]";
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
}

HttpServer::~HttpServer() {
    stop();
    if (listening_ >= 0) close(listening_);
}

bool HttpServer::run(const RouteTable& routes) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || daemon_) return false;
        routes_ = &routes;
        quick_ = std::make_unique<WorkerPool>(limits_.quickWorkers, limits_.queuedRequests);
        hashing_ = std::make_unique<WorkerPool>(limits_.hashingWorkers, limits_.queuedRequests);
        auto idleSeconds = static_cast<unsigned>(
            std::max<long long>(1, std::chrono::ceil<std::chrono::seconds>(limits_.idle).count()));
        unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME;
        if (localAddressOf(listening_).front() == '[') flags |= MHD_USE_IPv6;
        daemon_ = MHD_start_daemon(
            flags, 0, nullptr, nullptr, &Callbacks::request, this,
            MHD_OPTION_LISTEN_SOCKET, listening_,
            MHD_OPTION_CONNECTION_TIMEOUT, idleSeconds,
            MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(limits_.connections),
            MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<unsigned>(limits_.perAddress),
            MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits_.headerBytes,
            MHD_OPTION_NOTIFY_COMPLETED, &Callbacks::completed, this,
            MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::connection, this,
            MHD_OPTION_END);
        if (!daemon_) return false;
        listening_ = -1;  // the library's now
        running_ = true;
        reaper_ = std::thread([this] { reap(); });
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopped_; });
    return true;
}

void HttpServer::stop() {
    std::unique_lock lock(mutex_);
    if (stopping_) {
        changed_.wait(lock, [this] { return stopped_; });
        return;
    }
    stopping_ = true;
    running_ = false;
    if (!daemon_) {
        stopped_ = true;
        changed_.notify_all();
        return;
    }
    int socket = MHD_quiesce_daemon(daemon_);
    if (socket >= 0) close(socket);
    changed_.wait_for(lock, stopWait, [this] { return busy_ == 0; });
    lock.unlock();
    // Every handler has resumed its connection before the library lets go of it.
    quick_.reset();
    hashing_.reset();
    MHD_stop_daemon(daemon_);
    lock.lock();
    daemon_ = nullptr;
    stopped_ = true;
    changed_.notify_all();
    lock.unlock();
    if (reaper_.joinable()) reaper_.join();
}

void HttpServer::opened(MHD_Connection* connection, void** state) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
    int fd = info ? info->connect_fd : -1;
    // An answer goes out in several writes; none may wait for the client's
    // delayed acknowledgement of the one before.
    int on = 1;
    if (fd >= 0) setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    auto* ours = new Connection{fd, Clock::now() + limits_.request, true, 0};
    *state = ours;
    std::lock_guard lock(mutex_);
    connections_.insert(ours);
    ++open_;
}

void HttpServer::closed(void** state) {
    auto* ours = static_cast<Connection*>(*state);
    if (!ours) return;
    {
        std::lock_guard lock(mutex_);
        connections_.erase(ours);
        --open_;
    }
    delete ours;
    *state = nullptr;
}

// The library closes a connection it sees shut: shutting it down from here
// is the only thing done to a socket it owns, and it happens under the
// lock that its closing takes first, so the descriptor is still its.
void HttpServer::reap() {
    std::unique_lock lock(mutex_);
    while (!changed_.wait_for(lock, reapEvery, [this] { return stopped_; })) {
        auto now = Clock::now();
        for (Connection* c : connections_) {
            if (c->timed && now >= c->deadline && c->fd >= 0) {
                ::shutdown(c->fd, SHUT_RDWR);
                c->timed = false;
            }
        }
    }
}

bool HttpServer::take(MHD_Connection* connection, const char* url, const char* method, const char* upload,
                      std::size_t* uploadSize, Exchange*& exchange) {
    if (!exchange) {
        {
            std::lock_guard lock(mutex_);
            // A kept-alive connection's next request is not waited for once the server stops.
            if (stopping_) return false;
        }
        const MHD_ConnectionInfo* state = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        exchange = new Exchange(state ? static_cast<Connection*>(state->socket_context) : nullptr);
        HttpRequest& r = exchange->request;
        r.method = method;
        r.path = url;
        std::vector<std::pair<std::string, std::string>> headers;
        MHD_get_connection_values_n(connection, MHD_HEADER_KIND, &collect, &headers);
        for (auto& [name, value] : headers) {
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            r.headers.emplace(std::move(name), std::move(value));
        }
        MHD_get_connection_values_n(connection, MHD_GET_ARGUMENT_KIND, &collect, &r.params);
        const MHD_ConnectionInfo* client = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        r.remoteAddress = ipOf(client ? client->client_addr : nullptr);
        if (!proxy_.empty() && r.remoteAddress == proxy_) {
            std::string forwarded = r.header("X-Real-IP");
            unsigned char parsed[sizeof(in6_addr)];
            if (inet_pton(AF_INET, forwarded.c_str(), parsed) == 1 || inet_pton(AF_INET6, forwarded.c_str(), parsed) == 1) {
                r.remoteAddress = forwarded;
            }
        }
        if (exchange->connection) r.localAddress = localAddressOf(exchange->connection->fd);

        // Nothing here needs a packed body; unpacking one is what a bomb is for.
        std::string coding = r.header("Content-Encoding");
        if (!coding.empty() && coding != "identity") return send(connection, *exchange, routes_->refusal(415));
        exchange->route = routes_->find(r.method, r.path);
        if (!exchange->route) return send(connection, *exchange, routes_->refusal(404));
        std::string length = r.header("Content-Length");
        std::size_t announced = 0;
        auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), announced);
        if (!length.empty() && (error != std::errc{} || announced > bodyLimit(*exchange->route))) {
            return send(connection, *exchange, routes_->refusal(413));
        }
        return true;
    }
    if (*uploadSize > 0) {
        if (exchange->tooLarge) return false;
        // Counted as it comes, whatever the transfer coding.
        if (exchange->request.body.size() + *uploadSize > bodyLimit(*exchange->route)) {
            *uploadSize = 0;
            exchange->tooLarge = true;
            // The library takes an answer only before a body or after it:
            // past the limit mid-body the connection is closed.
            return send(connection, *exchange, routes_->refusal(413));
        }
        exchange->request.body.append(upload, *uploadSize);
        *uploadSize = 0;
        return true;
    }
    if (exchange->queued) return true;
    if (!exchange->dispatched) return dispatch(connection, *exchange);
    if (exchange->ready.load(std::memory_order_acquire)) return send(connection, *exchange, std::move(exchange->answer));
    return true;
}

bool HttpServer::dispatch(MHD_Connection* connection, Exchange& exchange) {
    HttpRequest& r = exchange.request;
    if (formType(r.header("Content-Type"))) {
        auto fields = decodeForm(r.body);
        r.params.insert(r.params.end(), fields.begin(), fields.end());
    }
    exchange.dispatched = true;
    exchange.whole = Clock::now();
    {
        std::lock_guard lock(mutex_);
        if (exchange.connection) exchange.connection->timed = false;
        ++busy_;
    }
    MHD_suspend_connection(connection);
    WorkerPool& pool = exchange.route->work == Work::hashing ? *hashing_ : *quick_;
    bool posted = pool.post([this, connection, &exchange] {
        try {
            exchange.answer = exchange.route->handle(exchange.request);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "zifra-server: %s %s: %s\n", exchange.request.method.c_str(),
                         exchange.request.path.c_str(), error.what());
            exchange.answer = routes_->refusal(500);
        }
        exchange.ready.store(true, std::memory_order_release);
        MHD_resume_connection(connection);
    });
    if (!posted) {
        exchange.answer = routes_->refusal(503);
        exchange.ready.store(true, std::memory_order_release);
        MHD_resume_connection(connection);
    }
    return true;
}

bool HttpServer::send(MHD_Connection* connection, Exchange& exchange, HttpAnswer answer) {
    MHD_Response* response =
        answer.file ? MHD_create_response_from_fd(answer.file->second, answer.file->first)
                    : MHD_create_response_from_buffer(answer.body.size(), answer.body.data(), MHD_RESPMEM_MUST_COPY);
    if (!response) {
        if (answer.file) close(answer.file->first);
        return false;
    }
    if (!answer.contentType.empty()) MHD_add_response_header(response, "Content-Type", answer.contentType.c_str());
    for (const auto& [name, value] : answer.headers) MHD_add_response_header(response, name.c_str(), value.c_str());
    std::size_t length = answer.file ? answer.file->second : answer.body.size();
    {
        std::lock_guard lock(mutex_);
        if (Connection* c = exchange.connection) {
            if (c->answered + 1 >= limits_.requestsPerConnection) {
                MHD_add_response_header(response, "Connection", "close");
            }
            c->timed = length <= shortAnswer;
            c->deadline = Clock::now() + limits_.write;
        }
    }
    exchange.status = answer.status;
    exchange.queued = true;
    MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    return queued == MHD_YES;
}

void HttpServer::completed(Exchange* exchange) {
    if (!exchange) return;
    if (observer_ && exchange->status != 0) {
        auto took = exchange->dispatched ? Clock::now() - exchange->whole : Clock::duration::zero();
        observer_({&exchange->request, exchange->route, exchange->status, took});
    }
    {
        std::lock_guard lock(mutex_);
        if (Connection* c = exchange->connection) {
            ++c->answered;
            c->timed = true;
            c->deadline = Clock::now() + limits_.request;
        }
        if (exchange->dispatched) --busy_;
    }
    changed_.notify_all();
    delete exchange;
}
