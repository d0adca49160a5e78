#pragma once
// One connection to the service's database. SQLite and PostgreSQL speak one
// dialect here: every statement is prepared once per connection and takes
// its values as parameters $1, $2, ...; nothing is ever pasted into SQL.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

enum class SqlDialect { sqlite, postgresql };

// Bytes bound as a BLOB (SQLite) or BYTEA (PostgreSQL), never as text.
struct SqlBytes {
    std::vector<std::uint8_t> bytes;
};

using SqlParam = std::variant<std::int64_t, std::string, SqlBytes>;
// Every value as text, a BLOB or BYTEA as its raw bytes; NULL as nothing.
using SqlRow = std::vector<std::optional<std::string>>;

// A failed statement. uniqueViolation tells a duplicate key from other faults.
class SqlError : public std::runtime_error {
public:
    SqlError(const std::string& what, bool duplicateKey = false)
        : std::runtime_error(what), uniqueViolation(duplicateKey) {}
    bool uniqueViolation;
};

class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    virtual SqlDialect dialect() const = 0;
    // Runs one statement; throws SqlError.
    virtual std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlParam>& params = {}) = 0;
    // True once the connection is lost and must not be used again.
    virtual bool broken() const = 0;

    // A write transaction; SqlTransaction below is the way to use them.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
};

// "sqlite:PATH" or "postgresql://..." (also "postgres://..."); throws SqlError
// when the URL names neither or the database cannot be reached.
std::unique_ptr<SqlConnection> openSqlConnection(const std::string& url);

std::unique_ptr<SqlConnection> openSqliteConnection(const std::string& path);
std::unique_ptr<SqlConnection> openPostgresConnection(const std::string& url);

// The integer in a value of a row.
std::int64_t sqlInteger(const std::optional<std::string>& value);

// The bytes of a BLOB or BYTEA value of a row.
std::vector<std::uint8_t> sqlBytes(const std::optional<std::string>& value);

// A write transaction that rolls back unless committed.
class SqlTransaction {
public:
    explicit SqlTransaction(SqlConnection& connection);
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;
    void commit();

private:
    SqlConnection& connection_;
    bool done_ = false;
};
