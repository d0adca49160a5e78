#include "server/sessions.h"

#include <ctime>

#include "server/tokens.h"

namespace {

// A session's last use is written at most this often: a page a second
// need not be a write a second.
constexpr std::int64_t lastSeenStep = 60;

}  // namespace

Sessions::Sessions(ConnectionPool& pool, std::function<std::int64_t()> clock) : pool_(pool), clock_(std::move(clock)) {}

std::int64_t Sessions::now() const { return clock_ ? clock_() : static_cast<std::int64_t>(std::time(nullptr)); }

NewSession Sessions::start(std::int64_t accountId) {
    NewSession session{newToken(), newToken()};
    std::int64_t time = now();
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    // Sessions past their month go as new ones come; those idle for a week
    // are refused by find and go at their month's end.
    connection->query("DELETE FROM sessions WHERE expires_at <= $1", {time});
    connection->query(
        "INSERT INTO sessions (id_hash, account_id, form_token, created_at, last_seen_at, expires_at) "
        "VALUES ($1, $2, $3, $4, $4, $5)",
        {tokenHash(session.id), accountId, session.formToken, time, time + sessionLifetime});
    transaction.commit();
    return session;
}

std::optional<Session> Sessions::find(const std::string& id) {
    if (id.empty()) return std::nullopt;
    std::int64_t time = now();
    std::string hash = tokenHash(id);
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "SELECT s.account_id, a.nickname, a.email, s.form_token, s.last_seen_at FROM sessions s "
        "JOIN accounts a ON a.id = s.account_id "
        "WHERE s.id_hash = $1 AND s.expires_at > $2 AND s.last_seen_at > $3 AND a.banned_at IS NULL",
        {hash, time, time - sessionIdleLimit});
    if (rows.empty()) return std::nullopt;
    const SqlRow& r = rows[0];
    if (time - sqlInteger(r[4]) >= lastSeenStep) {
        connection->query("UPDATE sessions SET last_seen_at = $2 WHERE id_hash = $1", {hash, time});
    }
    return Session{hash, sqlInteger(r[0]), *r[1], *r[2], *r[3]};
}

void Sessions::end(const Session& session) {
    pool_.borrow()->query("DELETE FROM sessions WHERE id_hash = $1", {session.idHash});
}

void Sessions::endAll(std::int64_t accountId) { endSessionsOf(*pool_.borrow(), accountId); }

void Sessions::endOthers(std::int64_t accountId, const std::string& kept) {
    endOtherSessionsOf(*pool_.borrow(), accountId, kept);
}

void endSessionsOf(SqlConnection& connection, std::int64_t accountId) {
    connection.query("DELETE FROM sessions WHERE account_id = $1", {accountId});
}

void endOtherSessionsOf(SqlConnection& connection, std::int64_t accountId, const std::string& kept) {
    connection.query("DELETE FROM sessions WHERE account_id = $1 AND id_hash <> $2", {accountId, kept});
}
