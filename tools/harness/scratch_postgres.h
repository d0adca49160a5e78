#pragma once
// A private PostgreSQL cluster for tests and benchmarks: initdb in a
// temporary folder, its own port on 127.0.0.1, stopped by its process id and
// removed again at the end. Debian's server programs run as the postgres
// user when this runs as root (initdb refuses root).
#include <memory>
#include <string>

#include "child_process.h"

class ScratchPostgres {
public:
    // durable: commits reach the disk as in production; otherwise the
    // cluster skips syncing, for speed in tests. Throws std::runtime_error.
    explicit ScratchPostgres(bool durable);
    ~ScratchPostgres();

    // The URL of a new, empty database in the cluster.
    std::string newDatabase();
    int port() const { return port_; }

private:
    std::string url(const std::string& database) const;

    std::string folder_;
    int port_ = 0;
    int databases_ = 0;
    std::unique_ptr<ChildProcess> server_;
};
