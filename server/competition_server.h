#pragma once
// The whole service in one object: the database pool, the service and its
// HTTP server with explicit time-outs and a worker pool of its own.
#include <memory>
#include <string>

#include "server/competition_service.h"
#include "server/connection_pool.h"
#include "server/deadline_server.h"

// Requests served at a time; more wait for a free worker.
inline constexpr std::size_t httpWorkers = 128;
// Database connections at a time; a request holds one only while it uses it.
inline constexpr std::size_t databaseConnections = 16;

class CompetitionServer {
public:
    // Connects to the database and brings its schema up to date; throws
    // SqlError when the database cannot be reached or migrated.
    CompetitionServer(const std::string& databaseUrl, ServiceSettings settings,
                      ConnectionLimits limits = ConnectionLimits{});

    // Binds the listening socket; the port (the one chosen for port 0), or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(); false when the server failed to run.
    bool run();
    void stop();
    bool running() const { return http_.is_running(); }

private:
    ConnectionPool pool_;
    CompetitionService service_;
    DeadlineServer http_;
};
