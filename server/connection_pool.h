#pragma once
// Database connections shared by the request threads: each request borrows
// one for as long as it needs it. Connections are opened when first needed,
// up to a limit, and a lost one is replaced by a new one.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/sql_connection.h"

class ConnectionPool {
public:
    // Opens the first connection at once, so that an unreachable database is
    // known before anything else starts; throws SqlError.
    ConnectionPool(std::string url, std::size_t limit);

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

    // Waits for an idle connection, or opens one while under the limit.
    Lease borrow();

private:
    void giveBack(std::unique_ptr<SqlConnection> connection);

    std::string url_;
    std::size_t limit_;
    std::size_t open_ = 0;
    std::vector<std::unique_ptr<SqlConnection>> idle_;
    std::mutex mutex_;
    std::condition_variable returned_;
};
