#include "server/sql_connection.h"

std::unique_ptr<SqlConnection> openSqlConnection(const std::string& url) {
    if (url.rfind("sqlite:", 0) == 0) return openSqliteConnection(url.substr(7));
    if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0) return openPostgresConnection(url);
    throw SqlError("the database URL must begin with sqlite: or postgresql://: " + url);
}

std::int64_t sqlInteger(const std::optional<std::string>& value) { return value ? std::stoll(*value) : 0; }

std::vector<std::uint8_t> sqlBytes(const std::optional<std::string>& value) {
    if (!value) return {};
    return std::vector<std::uint8_t>(value->begin(), value->end());
}

SqlTransaction::SqlTransaction(SqlConnection& connection) : connection_(connection) { connection_.begin(); }

SqlTransaction::~SqlTransaction() {
    if (!done_) connection_.rollback();
}

void SqlTransaction::commit() {
    connection_.commit();
    done_ = true;
}
