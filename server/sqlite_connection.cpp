// SQLite: one file, write-ahead log, and every commit synced before it
// returns. Writers of this process queue on a lock of their own, which
// wakes the next one at once, for no longer than the busy timeout; that
// timeout is otherwise left for other processes on the same file, whose
// turn SQLite can only poll for.
#include <sqlite3.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>

#include "server/sql_connection.h"

namespace {

constexpr int busyTimeoutMs = 10000;

// $1, $2 ... become ?1, ?2 ..., SQLite's numbered parameters.
std::string numberedParameters(std::string sql) {
    for (std::size_t i = 0; i + 1 < sql.size(); ++i) {
        if (sql[i] == '$' && sql[i + 1] >= '0' && sql[i + 1] <= '9') sql[i] = '?';
    }
    return sql;
}

// One lock for the writers of each database file.
std::shared_ptr<std::timed_mutex> writerLock(const std::string& path) {
    static std::mutex guard;
    static std::map<std::string, std::weak_ptr<std::timed_mutex>> locks;
    std::lock_guard lock(guard);
    auto found = locks[path].lock();
    if (!found) {
        found = std::make_shared<std::timed_mutex>();
        locks[path] = found;
    }
    return found;
}

class SqliteConnection : public SqlConnection {
public:
    explicit SqliteConnection(const std::string& path) : writers_(writerLock(path)) {
        int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw SqlError("cannot open the SQLite database " + path + ": " + why);
        }
        sqlite3_busy_timeout(db_, busyTimeoutMs);
        try {
            query("PRAGMA journal_mode = WAL", {});
            query("PRAGMA synchronous = FULL", {});
            query("PRAGMA foreign_keys = ON", {});
        } catch (...) {
            close();
            throw;
        }
    }
    ~SqliteConnection() override { close(); }

    SqlDialect dialect() const override { return SqlDialect::sqlite; }
    bool broken() const override { return false; }

    // The write lock is taken at the start, so two writers never deadlock
    // on upgrading read locks.
    void begin() override {
        writing_ = std::unique_lock(*writers_, std::defer_lock);
        if (!writing_.try_lock_for(std::chrono::milliseconds(busyTimeoutMs))) {
            throw SqlError("the database stayed busy with other writers");
        }
        try {
            query("BEGIN IMMEDIATE", {});
        } catch (...) {
            writing_.unlock();
            throw;
        }
    }
    void commit() override {
        query("COMMIT", {});
        writing_.unlock();
    }
    void rollback() override {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        if (writing_) writing_.unlock();
    }

    std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlParam>& params) override {
        sqlite3_stmt* statement = prepared(sql);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        for (std::size_t i = 0; i < params.size(); ++i) {
            int at = static_cast<int>(i + 1);
            if (auto* number = std::get_if<std::int64_t>(&params[i])) {
                sqlite3_bind_int64(statement, at, *number);
            } else if (auto* blob = std::get_if<SqlBytes>(&params[i])) {
                // A zero-length blob, not NULL, for no bytes.
                static const std::uint8_t none = 0;
                sqlite3_bind_blob(statement, at, blob->bytes.empty() ? &none : blob->bytes.data(),
                                  static_cast<int>(blob->bytes.size()), SQLITE_TRANSIENT);
            } else {
                const std::string& text = std::get<std::string>(params[i]);
                sqlite3_bind_text(statement, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            }
        }
        std::vector<SqlRow> rows;
        int status;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
            SqlRow row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
                    row.emplace_back();
                } else if (sqlite3_column_type(statement, c) == SQLITE_BLOB) {
                    auto bytes = static_cast<const char*>(sqlite3_column_blob(statement, c));
                    std::size_t size = static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
                    row.emplace_back(size ? std::string(bytes, size) : std::string());
                } else {
                    auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                    row.emplace_back(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, c))));
                }
            }
            rows.push_back(std::move(row));
        }
        sqlite3_reset(statement);
        if (status != SQLITE_DONE) {
            int extended = sqlite3_extended_errcode(db_);
            throw SqlError(sqlite3_errmsg(db_),
                           extended == SQLITE_CONSTRAINT_UNIQUE || extended == SQLITE_CONSTRAINT_PRIMARYKEY);
        }
        return rows;
    }

private:
    sqlite3_stmt* prepared(const std::string& sql) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return found->second;
        sqlite3_stmt* statement = nullptr;
        std::string numbered = numberedParameters(sql);
        if (sqlite3_prepare_v3(db_, numbered.c_str(), static_cast<int>(numbered.size()), SQLITE_PREPARE_PERSISTENT,
                               &statement, nullptr) != SQLITE_OK) {
            throw SqlError(std::string(sqlite3_errmsg(db_)) + " in " + sql);
        }
        statements_.emplace(sql, statement);
        return statement;
    }

    void close() {
        for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
        statements_.clear();
        sqlite3_close(db_);
        db_ = nullptr;
    }

    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statements_;
    std::shared_ptr<std::timed_mutex> writers_;
    std::unique_lock<std::timed_mutex> writing_;
};

}  // namespace

std::unique_ptr<SqlConnection> openSqliteConnection(const std::string& path) {
    return std::make_unique<SqliteConnection>(path);
}
