// PostgreSQL through libpq: each statement is prepared on the connection the
// first time it is used and executed with its parameters as text.
#include <libpq-fe.h>

#include <map>

#include "server/sql_connection.h"

namespace {

constexpr char uniqueViolationState[] = "23505";
constexpr Oid byteaType = 17;

// A BYTEA value in text results (a backslash, "x" and hex digits) as its bytes.
std::string unescapedBytes(const char* text) {
    std::size_t length = 0;
    unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
    if (!bytes) throw SqlError("out of memory reading bytes from PostgreSQL");
    std::string value(reinterpret_cast<const char*>(bytes), length);
    PQfreemem(bytes);
    return value;
}

// libpq's messages run over several lines; the service reports one.
std::string oneLine(std::string text) {
    std::string line;
    bool space = false;
    for (char c : text) {
        bool blank = c == '\n' || c == '\t' || c == ' ';
        if (blank) {
            space = !line.empty();
        } else {
            if (space) line += ' ';
            line += c;
            space = false;
        }
    }
    return line;
}

// A connection with bounds on every wait, unless the URL sets its own:
// libpq lets parameters given before an expanded dbname give way to the
// URL's. Connecting may take 5 s; a peer gone silent is noticed within a
// minute; a statement, a wait for a lock among them, may run 10 s (so a
// migration that needs longer sets its own).
PGconn* connectBounded(const std::string& url) {
    const char* const keywords[] = {"connect_timeout",  "keepalives", "keepalives_idle", "keepalives_interval",
                                    "keepalives_count", "options",    "dbname",          nullptr};
    const char* const values[] = {"5", "1", "30", "10", "3", "-c statement_timeout=10000", url.c_str(), nullptr};
    return PQconnectdbParams(keywords, values, 1);
}

class PostgresConnection : public SqlConnection {
public:
    explicit PostgresConnection(const std::string& url) : connection_(connectBounded(url)) {
        if (PQstatus(connection_) != CONNECTION_OK) {
            std::string why = connection_ ? PQerrorMessage(connection_) : "out of memory";
            PQfinish(connection_);
            throw SqlError("cannot connect to PostgreSQL: " + oneLine(why));
        }
        query("SET client_encoding = 'UTF8'", {});
    }
    ~PostgresConnection() override { PQfinish(connection_); }

    SqlDialect dialect() const override { return SqlDialect::postgresql; }
    bool broken() const override { return PQstatus(connection_) != CONNECTION_OK; }

    void begin() override { query("BEGIN", {}); }
    void commit() override { query("COMMIT", {}); }
    void rollback() override {
        // A lost connection has ended the transaction with itself.
        if (!broken()) PQclear(PQexec(connection_, "ROLLBACK"));
    }

    std::vector<SqlRow> query(const std::string& sql, const std::vector<SqlParam>& params) override {
        // Numbers and texts go as text; bytes go in binary, so nothing has
        // to escape them.
        std::vector<std::string> texts;
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
        texts.reserve(params.size());
        for (const SqlParam& p : params) {
            if (auto* blob = std::get_if<SqlBytes>(&p)) {
                texts.emplace_back();
                values.push_back(reinterpret_cast<const char*>(blob->bytes.data()));
                lengths.push_back(static_cast<int>(blob->bytes.size()));
                formats.push_back(1);
                continue;
            }
            texts.push_back(std::holds_alternative<std::int64_t>(p) ? std::to_string(std::get<std::int64_t>(p))
                                                                    : std::get<std::string>(p));
            values.push_back(texts.back().c_str());
            lengths.push_back(static_cast<int>(texts.back().size()));
            formats.push_back(0);
        }
        const std::string& name = prepared(sql, static_cast<int>(params.size()));
        PGresult* result = PQexecPrepared(connection_, name.c_str(), static_cast<int>(values.size()), values.data(),
                                          lengths.data(), formats.data(), 0);
        return rowsOf(result, sql);
    }

private:
    const std::string& prepared(const std::string& sql, int parameterCount) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return found->second;
        std::string name = "s";
        name += std::to_string(statements_.size());
        rowsOf(PQprepare(connection_, name.c_str(), sql.c_str(), parameterCount, nullptr), sql);
        return statements_.emplace(sql, name).first->second;
    }

    // The rows of a result, which it frees; throws for a failed one.
    std::vector<SqlRow> rowsOf(PGresult* result, const std::string& sql) {
        ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
            std::string why = result ? PQresultErrorMessage(result) : PQerrorMessage(connection_);
            bool unique = state && std::string(state) == uniqueViolationState;
            PQclear(result);
            throw SqlError(oneLine(why) + " in " + sql, unique);
        }
        std::vector<SqlRow> rows;
        for (int r = 0; r < PQntuples(result); ++r) {
            SqlRow row;
            for (int c = 0; c < PQnfields(result); ++c) {
                if (PQgetisnull(result, r, c)) {
                    row.emplace_back();
                } else if (PQftype(result, c) == byteaType) {
                    row.emplace_back(unescapedBytes(PQgetvalue(result, r, c)));
                } else {
                    row.emplace_back(std::string(PQgetvalue(result, r, c), static_cast<std::size_t>(PQgetlength(result, r, c))));
                }
            }
            rows.push_back(std::move(row));
        }
        PQclear(result);
        return rows;
    }

    PGconn* connection_;
    std::map<std::string, std::string> statements_;
};

}  // namespace

std::unique_ptr<SqlConnection> openPostgresConnection(const std::string& url) {
    return std::make_unique<PostgresConnection>(url);
}
