#include "server/competition_server.h"

#include <stdexcept>
#include <thread>

#include "server/http_routes.h"
#include "server/schema.h"
#include "server/server_options.h"
#include "server/web_game_routes.h"

namespace {

// The port bound on host (the chosen one for port 0); throws when none is.
int boundPort(DeadlineServer& http, const std::string& host, int port) {
    int bound = port == 0 ? http.bind_to_any_port(host) : http.bind_to_port(host, port) ? port : -1;
    if (bound <= 0) {
        std::string address = host.find(':') == std::string::npos ? host : "[" + host + "]";
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    http.lengthenListenQueue();
    return bound;
}

ServiceSettings withSite(ServiceSettings settings, const std::string& host, int port) {
    if (settings.site.empty()) settings.site = listeningSite(host, port);
    return settings;
}

ConnectionPool& migrated(ConnectionPool& pool) {
    migrateSchema(*pool.borrow());
    return pool;
}

}  // namespace

CompetitionServer::CompetitionServer(const std::string& host, int port, const std::string& databaseUrl,
                                     ServiceSettings settings, ConnectionLimits limits)
    : http_(limits),
      port_(boundPort(http_, host, port)),
      pool_(databaseUrl, databaseConnections),
      service_(migrated(pool_), withSite(std::move(settings), host, port_)),
      verifiers_(service_.proofs(), std::thread::hardware_concurrency()) {
    service_.proofs().onQueued([this] { verifiers_.wake(); });
    http_.new_task_queue = [] { return new httplib::ThreadPool(httpWorkers); };
    http_.set_payload_max_length(maxRequestBody);
    // The library still sets these as each socket's own receive and send
    // time-outs; the keep-alive limits are DeadlineServer's alone.
    http_.set_read_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits.request).count());
    http_.set_write_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits.write).count());
    http_.set_mount_point("/download", "download");
    addRoutes(http_, service_);
    if (service_.webGame()) addWebGameRoutes(http_, *service_.webGame());
}

bool CompetitionServer::run() { return http_.serve(); }

void CompetitionServer::stop() { http_.stop(); }
