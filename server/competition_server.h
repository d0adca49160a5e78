#pragma once
// The whole service in one object: the database pool, the service, its
// HTTP server with bounded connections and worker pools of its own, the
// threads that verify replays, one for each processor, and the one that
// closes competition periods at their end.
#include <memory>
#include <string>

#include "server/access_log.h"
#include "server/competition_service.h"
#include "server/connection_pool.h"
#include "server/http_server.h"
#include "server/mail_queue.h"
#include "server/route_table.h"
#include "server/period_closer.h"
#include "server/verification_workers.h"

// Database connections at a time; a request holds one only while it uses it.
inline constexpr std::size_t databaseConnections = 16;

class CompetitionServer {
public:
    // Binds the listening socket on host:port (port 0: any free port), then
    // connects to the database and brings its schema up to date: a port
    // that is taken leaves no database made. Throws std::runtime_error when
    // the address cannot be bound, SqlError when the database cannot be
    // reached or migrated. Without a site in the settings, links in mail
    // begin with the listening address.
    // With `smtp`, mail is queued in the database and sent over SMTP.
    CompetitionServer(const std::string& host, int port, const std::string& databaseUrl, ServiceSettings settings,
                      ConnectionLimits limits = ConnectionLimits{}, std::optional<SmtpSettings> smtp = std::nullopt);
    ~CompetitionServer();

    // The port it listens on: the one chosen for port 0.
    int port() const { return http_.port(); }
    // Serves until stop(); false when the server failed to run.
    bool run();
    void stop();
    bool running() const { return http_.running(); }
    // See HttpServer::trustProxy.
    void trustProxy(std::string address) { http_.trustProxy(std::move(address)); }
    // Writes a line for every request from now on; none without.
    void logAccessTo(std::unique_ptr<AccessLog> log) { accessLog_ = std::move(log); }

private:
    HttpServer http_;
    ConnectionPool pool_;
    std::unique_ptr<MailQueue> mail_;
    CompetitionService service_;
    VerificationWorkers verifiers_;
    PeriodCloser closer_;
    RouteTable routes_;
    std::unique_ptr<AccessLog> accessLog_;
};
