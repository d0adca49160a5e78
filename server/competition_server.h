#pragma once
// The whole service in one object: the database pool, the service, its
// HTTP server with explicit time-outs and a worker pool of its own, and the
// threads that verify replays, one for each processor.
#include <memory>
#include <string>

#include "server/competition_service.h"
#include "server/connection_pool.h"
#include "server/deadline_server.h"
#include "server/verification_workers.h"

// Requests served at a time; more wait for a free worker.
inline constexpr std::size_t httpWorkers = 128;
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
    CompetitionServer(const std::string& host, int port, const std::string& databaseUrl, ServiceSettings settings,
                      ConnectionLimits limits = ConnectionLimits{});

    // The port it listens on: the one chosen for port 0.
    int port() const { return port_; }
    // Serves until stop(); false when the server failed to run.
    bool run();
    void stop();
    bool running() const { return http_.is_running(); }

private:
    DeadlineServer http_;
    int port_;
    ConnectionPool pool_;
    CompetitionService service_;
    VerificationWorkers verifiers_;
};
