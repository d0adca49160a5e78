#include "server/competition_server.h"

#include "server/http_routes.h"
#include "server/schema.h"

namespace {

ConnectionPool& migrated(ConnectionPool& pool) {
    migrateSchema(*pool.borrow());
    return pool;
}

}  // namespace

CompetitionServer::CompetitionServer(const std::string& databaseUrl, ServiceSettings settings, ConnectionLimits limits)
    : pool_(databaseUrl, databaseConnections), service_(migrated(pool_), std::move(settings)), http_(limits) {
    http_.new_task_queue = [] { return new httplib::ThreadPool(httpWorkers); };
    http_.set_payload_max_length(maxRequestBody);
    http_.set_read_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits.request).count());
    http_.set_write_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits.write).count());
    http_.set_keep_alive_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits.idle).count());
    http_.set_keep_alive_max_count(limits.requestsPerConnection);
    http_.set_mount_point("/download", "download");
    addRoutes(http_, service_);
}

int CompetitionServer::bind(const std::string& host, int port) {
    int bound = port == 0 ? http_.bind_to_any_port(host) : http_.bind_to_port(host, port) ? port : -1;
    if (bound > 0) http_.lengthenListenQueue();
    return bound;
}

bool CompetitionServer::run() { return http_.listen_after_bind(); }

void CompetitionServer::stop() { http_.stop(); }
