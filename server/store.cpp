#include "server/store.h"

#include <algorithm>

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
    if (!connection->query("SELECT 1 FROM accounts WHERE nickname_key = $1", {a.nicknameKey}).empty()) {
        return SignUpResult::nicknameTaken;
    }
    try {
        connection->query(
            "INSERT INTO accounts (email, email_key, nickname, nickname_key, password_hash, created_at) "
            "VALUES ($1, $2, $3, $4, $5, $6)",
            {a.email, a.emailKey, a.nickname, a.nicknameKey, a.passwordHash, a.createdAt});
        transaction.commit();
    } catch (const SqlError& error) {
        // A sign-up of the same name that won the race since the look-up.
        if (!error.uniqueViolation) throw;
        return SignUpResult::emailTaken;
    }
    return SignUpResult::created;
}

bool Store::addSubmission(const AcceptedSubmission& s) {
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "INSERT INTO submissions (account_id, game_id, score, play_time_ms, speed_count, processor, build_checksum, "
        "build_size, submitted_at, form_key) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) "
        "ON CONFLICT (form_key) DO NOTHING RETURNING id",
        {s.accountId, std::int64_t{s.gameId}, std::int64_t{s.score}, s.playTimeMs, std::int64_t{s.speedCount},
         s.processor, s.buildChecksum, s.buildSize, s.submittedAt, s.formKey});
    return !rows.empty();
}

// The list walks the ranking index from the top and takes each player's
// first row, which is their best. A page leaves out the players already
// placed, so every page places at least one more, and a player with many
// scores near the top costs one page, not a scan of them all.
std::vector<Placing> Store::topTen(std::int32_t gameId, ListedScores listed) {
    auto connection = pool_.borrow();
    std::vector<Placing> list;
    std::vector<SqlParam> placed;
    while (list.size() < listLength) {
        // The page is taken from the index alone before the names are
        // joined to it, so no planner is tempted to sort the whole table.
        std::string sql =
            "SELECT s.account_id, a.nickname, s.score, s.submitted_at, s.proven FROM (SELECT account_id, score, "
            "submitted_at, id, CASE WHEN replay_id IS NULL THEN 0 ELSE 1 END AS proven FROM submissions "
            "WHERE game_id = $1";
        if (listed == ListedScores::verifiedOnly) sql += " AND replay_id IS NOT NULL";
        if (!placed.empty()) {
            sql += " AND account_id NOT IN (";
            for (std::size_t i = 0; i < placed.size(); ++i) sql += (i ? ", $" : "$") + std::to_string(i + 3);
            sql += ")";
        }
        sql += " ORDER BY score DESC, submitted_at, id LIMIT $2) s JOIN accounts a ON a.id = s.account_id "
               "ORDER BY s.score DESC, s.submitted_at, s.id";
        std::vector<SqlParam> params = {std::int64_t{gameId}, std::int64_t(listLength - list.size())};
        params.insert(params.end(), placed.begin(), placed.end());
        auto rows = connection->query(sql, params);
        std::size_t before = list.size();
        for (const SqlRow& row : rows) {
            std::int64_t account = sqlInteger(row[0]);
            bool seen = std::any_of(placed.begin() + static_cast<std::ptrdiff_t>(before), placed.end(),
                                    [&](const SqlParam& p) { return std::get<std::int64_t>(p) == account; });
            if (seen) continue;
            placed.emplace_back(account);
            list.push_back({*row[1], static_cast<std::int32_t>(sqlInteger(row[2])), sqlInteger(row[3]),
                            sqlInteger(row[4]) != 0});
        }
        if (rows.size() < listLength - before) break;
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
