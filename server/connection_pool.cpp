#include "server/connection_pool.h"

#include "server/metrics.h"

ConnectionPool::ConnectionPool(std::string url, std::size_t limit, std::chrono::milliseconds wait)
    : url_(std::move(url)), limit_(limit), wait_(wait) {
    idle_.push_back(openSqlConnection(url_));
    open_ = 1;
}

ConnectionPool::Lease::Lease(ConnectionPool& pool, std::unique_ptr<SqlConnection> connection)
    : pool_(&pool), connection_(std::move(connection)) {}

ConnectionPool::Lease::~Lease() {
    if (connection_) pool_->giveBack(std::move(connection_));
}

ConnectionPool::Lease ConnectionPool::borrow() {
    std::unique_lock lock(mutex_);
    auto asked = std::chrono::steady_clock::now();
    bool free = returned_.wait_for(lock, wait_, [&] { return !idle_.empty() || open_ < limit_; });
    serviceMetrics().waited(Wait::database, std::chrono::steady_clock::now() - asked);
    if (!free) {
        throw SqlError("no database connection came free within " + std::to_string(wait_.count()) + " ms");
    }
    if (!idle_.empty()) {
        auto connection = std::move(idle_.back());
        idle_.pop_back();
        return Lease(*this, std::move(connection));
    }
    ++open_;
    lock.unlock();
    try {
        return Lease(*this, openSqlConnection(url_));
    } catch (...) {
        std::lock_guard again(mutex_);
        --open_;
        returned_.notify_one();
        throw;
    }
}

void ConnectionPool::giveBack(std::unique_ptr<SqlConnection> connection) {
    std::lock_guard lock(mutex_);
    if (connection->broken()) {
        --open_;
    } else {
        idle_.push_back(std::move(connection));
    }
    returned_.notify_one();
}
