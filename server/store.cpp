#include "server/store.h"

#include "server/sessions.h"

std::optional<Account> Store::accountByEmailKey(const std::string& emailKey) {
    auto connection = pool_.borrow();
    auto rows = connection->query("SELECT id, email, nickname, password_hash, banned_at FROM accounts WHERE email_key = $1", {emailKey});
    if (rows.empty()) return std::nullopt;
    return Account{sqlInteger(rows[0][0]), *rows[0][1], *rows[0][2], *rows[0][3], rows[0][4].has_value()};
}

namespace {

// The nickname is looked at before the address: a taken nickname is
// public, and a form that tried a taken one with an address that has an
// account must be told what a new address is told.
SignUpResult insertAccount(SqlConnection& connection, const NewAccount& a) {
    SqlTransaction transaction(connection);
    if (!connection.query("SELECT 1 FROM accounts WHERE nickname_key = $1 OR nickname_skeleton = $2",
                          {a.nicknameKey, a.nicknameSkeleton}).empty()) {
        return SignUpResult::nicknameTaken;
    }
    std::optional<std::int64_t> referrer;
    if (!a.referrerKey.empty()) {
        auto found = connection.query("SELECT id FROM accounts WHERE nickname_key = $1", {a.referrerKey});
        if (found.empty()) return SignUpResult::referrerUnknown;
        referrer = sqlInteger(found[0][0]);
    }
    if (!connection.query("SELECT 1 FROM accounts WHERE email_key = $1", {a.emailKey}).empty()) {
        return SignUpResult::emailTaken;
    }
    connection.query(
        "INSERT INTO accounts (email, email_key, nickname, nickname_key, password_hash, created_at, "
        "nickname_skeleton, news, referrer_id) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, "
        "CASE WHEN $9 = 0 THEN NULL ELSE $9 END)",
        {a.email, a.emailKey, a.nickname, a.nicknameKey, a.passwordHash, a.createdAt, a.nicknameSkeleton,
         std::int64_t{a.news ? 1 : 0}, referrer.value_or(0)});
    transaction.commit();
    return SignUpResult::created;
}

}  // namespace

SignUpResult Store::addAccount(const NewAccount& a) {
    auto connection = pool_.borrow();
    try {
        return insertAccount(*connection, a);
    } catch (const SqlError& error) {
        // A sign-up of the same address or nickname won the race since the
        // look-up; looking again tells which.
        if (!error.uniqueViolation) throw;
        return insertAccount(*connection, a);
    }
}

bool Store::addSubmission(const AcceptedSubmission& s) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    auto rows = connection->query(
        "INSERT INTO submissions (account_id, game_id, score, play_time_ms, speed_count, processor, build_checksum, "
        "build_size, submitted_at, form_key, period_id) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, " +
            periodAtTime("$9") + ") "
        "ON CONFLICT (form_key) DO NOTHING RETURNING period_id",
        {s.accountId, std::int64_t{s.gameId}, std::int64_t{s.score}, s.playTimeMs, std::int64_t{s.speedCount},
         s.processor, s.buildChecksum, s.buildSize, s.submittedAt, s.formKey});
    if (rows.empty()) return false;
    if (rows[0][0]) refreshBest(*connection, sqlInteger(rows[0][0]), s.gameId, s.accountId);
    transaction.commit();
    return true;
}

std::vector<Placing> Store::topTen(std::int32_t gameId, const ListScope& scope) {
    auto connection = pool_.borrow();
    return ::topTen(*connection, gameId, scope);
}

bool Store::addResetToken(const std::string& tokenHash, std::int64_t accountId, std::int64_t now,
                          std::int64_t expiresAt, std::int64_t since, std::int64_t most) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    if (connection->dialect() == SqlDialect::postgresql) {
        // Requests for one account take turns here; on SQLite every write
        // transaction already does.
        connection->query("SELECT 1 FROM accounts WHERE id = $1 FOR UPDATE", {accountId});
    }
    auto issued = connection->query("SELECT COUNT(*) FROM password_resets WHERE account_id = $1 AND created_at > $2",
                                    {accountId, since});
    if (sqlInteger(issued[0][0]) >= most) return false;
    connection->query(
        "INSERT INTO password_resets (token_hash, account_id, created_at, expires_at) VALUES ($1, $2, $3, $4)",
        {tokenHash, accountId, now, expiresAt});
    transaction.commit();
    return true;
}

std::optional<std::int64_t> Store::resetTokenAccount(const std::string& tokenHash, std::int64_t now) {
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "SELECT account_id FROM password_resets WHERE token_hash = $1 AND used_at IS NULL AND expires_at > $2",
        {tokenHash, now});
    if (rows.empty()) return std::nullopt;
    return sqlInteger(rows[0][0]);
}

bool Store::resetPassword(const std::string& tokenHash, std::int64_t now, const std::string& passwordHash) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    auto rows = connection->query(
        "UPDATE password_resets SET used_at = $2 WHERE token_hash = $1 AND used_at IS NULL AND expires_at > $2 "
        "RETURNING account_id",
        {tokenHash, now});
    if (rows.empty()) return false;
    std::int64_t accountId = sqlInteger(rows[0][0]);
    connection->query("UPDATE accounts SET password_hash = $1 WHERE id = $2", {passwordHash, accountId});
    // Whoever knew the forgotten password is signed out with it.
    endSessionsOf(*connection, accountId);
    // The other links were asked for the same forgotten password; left
    // open, one found later in the mailbox would undo this one.
    connection->query(
        "UPDATE password_resets SET used_at = $2 WHERE account_id = $1 AND used_at IS NULL AND expires_at > $2",
        {accountId, now});
    transaction.commit();
    return true;
}
