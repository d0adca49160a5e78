#include "server/store.h"

namespace {

constexpr std::size_t listLength = 10;

}  // namespace

std::optional<Account> Store::accountByEmailKey(const std::string& emailKey) {
    auto connection = pool_.borrow();
    auto rows = connection->query("SELECT id, email, nickname, password_hash FROM accounts WHERE email_key = $1",
                                  {emailKey});
    if (rows.empty()) return std::nullopt;
    return Account{sqlInteger(rows[0][0]), *rows[0][1], *rows[0][2], *rows[0][3]};
}

SignUpResult Store::addAccount(const NewAccount& a) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    if (!connection->query("SELECT 1 FROM accounts WHERE email_key = $1", {a.emailKey}).empty()) {
        return SignUpResult::emailTaken;
    }
    if (!connection->query("SELECT 1 FROM accounts WHERE nickname_key = $1 OR nickname_skeleton = $2",
                           {a.nicknameKey, a.nicknameSkeleton}).empty()) {
        return SignUpResult::nicknameTaken;
    }
    try {
        connection->query(
            "INSERT INTO accounts (email, email_key, nickname, nickname_key, password_hash, created_at, "
            "nickname_skeleton) VALUES ($1, $2, $3, $4, $5, $6, $7)",
            {a.email, a.emailKey, a.nickname, a.nicknameKey, a.passwordHash, a.createdAt, a.nicknameSkeleton});
        transaction.commit();
    } catch (const SqlError& error) {
        // A sign-up of the same name that won the race since the look-up.
        if (!error.uniqueViolation) throw;
        return SignUpResult::emailTaken;
    }
    return SignUpResult::created;
}

void Store::addSubmission(const AcceptedSubmission& s) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    connection->query(
        "INSERT INTO submissions (account_id, game_id, score, play_time_ms, speed_count, processor, build_checksum, "
        "build_size, submitted_at) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9)",
        {s.accountId, std::int64_t{s.gameId}, std::int64_t{s.score}, s.playTimeMs, std::int64_t{s.speedCount},
         s.processor, s.buildChecksum, s.buildSize, s.submittedAt});
    connection->query(
        "INSERT INTO best_scores (account_id, game_id, score, achieved_at) VALUES ($1, $2, $3, $4) "
        "ON CONFLICT (account_id, game_id) DO UPDATE SET score = excluded.score, achieved_at = excluded.achieved_at "
        "WHERE excluded.score > best_scores.score",
        {s.accountId, std::int64_t{s.gameId}, std::int64_t{s.score}, s.submittedAt});
    transaction.commit();
}

std::vector<Placing> Store::topTen(std::int32_t gameId) {
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "SELECT a.nickname, b.score, b.achieved_at FROM best_scores b JOIN accounts a ON a.id = b.account_id "
        "WHERE b.game_id = $1 ORDER BY b.score DESC, b.achieved_at, b.account_id LIMIT $2",
        {std::int64_t{gameId}, std::int64_t{listLength}});
    std::vector<Placing> list;
    for (const SqlRow& row : rows) {
        list.push_back({*row[0], static_cast<std::int32_t>(sqlInteger(row[1])), sqlInteger(row[2])});
    }
    return list;
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
    // The other links were asked for the same forgotten password; left
    // open, one found later in the mailbox would undo this one.
    connection->query(
        "UPDATE password_resets SET used_at = $2 WHERE account_id = $1 AND used_at IS NULL AND expires_at > $2",
        {accountId, now});
    transaction.commit();
    return true;
}
