#pragma once
// Database connections shared by the request threads: each request borrows
// one for as long as it needs it. Connections are opened when first needed,
// up to a limit, and a lost one is replaced by a new one.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/sql_connection.h"

class ConnectionPool {
public:
    // Opens the first connection at once, so that an unreachable database is
    // known before anything else starts; throws SqlError. A borrower waits
    // at most `wait` for a connection.
    ConnectionPool(std::string url, std::size_t limit, std::chrono::milliseconds wait = std::chrono::seconds(5));

    class Lease {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<SqlConnection> connection);
        ~Lease();
        Lease(Lease&&) = default;
        SqlConnection& operator*() const { return *connection_; }
        SqlConnection* operator->() const { return connection_.get(); }

    private:
        ConnectionPool* pool_;
        std::unique_ptr<SqlConnection> connection_;
    };

    // Waits for an idle connection, or opens one while under the limit;
    // throws SqlError when none comes within the wait, so that the request
    // is answered "try again later" instead of queueing without end.
    Lease borrow();

private:
    void giveBack(std::unique_ptr<SqlConnection> connection);

    std::string url_;
    std::size_t limit_;
    std::chrono::milliseconds wait_;
    std::size_t open_ = 0;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
    std::mutex mutex_;
    std::condition_variable returned_;
};
