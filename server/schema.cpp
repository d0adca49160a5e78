#include "server/schema.h"

#include <array>
#include <string_view>

namespace {

// {id} stands for the table's generated key and {bytes} for a column of
// raw bytes, the things the two databases spell differently.
constexpr std::array<std::string_view, 11> migrations = {
    R"(
CREATE TABLE accounts (
    id {id},
    email TEXT NOT NULL,
    email_key TEXT NOT NULL UNIQUE,
    nickname TEXT NOT NULL,
    nickname_key TEXT NOT NULL UNIQUE,
    password_hash TEXT NOT NULL,
    created_at BIGINT NOT NULL
);
CREATE TABLE submissions (
    id {id},
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    game_id INTEGER NOT NULL,
    score INTEGER NOT NULL,
    play_time_ms BIGINT NOT NULL,
    speed_count INTEGER NOT NULL,
    processor TEXT NOT NULL,
    build_checksum BIGINT NOT NULL,
    build_size BIGINT NOT NULL,
    submitted_at BIGINT NOT NULL
);
CREATE INDEX submissions_by_account ON submissions (account_id);
CREATE TABLE best_scores (
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    game_id INTEGER NOT NULL,
    score INTEGER NOT NULL,
    achieved_at BIGINT NOT NULL,
    PRIMARY KEY (account_id, game_id)
);
CREATE INDEX best_scores_ranking ON best_scores (game_id, score DESC, achieved_at);
CREATE TABLE password_resets (
    token_hash TEXT PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    created_at BIGINT NOT NULL,
    expires_at BIGINT NOT NULL,
    used_at BIGINT
);
CREATE INDEX password_resets_by_account ON password_resets (account_id, created_at);
)",
    // Look-alike nicknames share a skeleton; wrong passwords and sign-ups
    // are counted per account and per client address (a keyed hash).
    R"(
ALTER TABLE accounts ADD COLUMN nickname_skeleton TEXT;
CREATE UNIQUE INDEX accounts_nickname_skeleton ON accounts (nickname_skeleton);
CREATE TABLE login_failures (
    scope TEXT PRIMARY KEY,
    failures BIGINT NOT NULL,
    last_failure_at BIGINT NOT NULL
);
CREATE TABLE trusted_addresses (
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    address_hash TEXT NOT NULL,
    last_success_at BIGINT NOT NULL,
    PRIMARY KEY (account_id, address_hash)
);
CREATE TABLE sign_ups (
    address_hash TEXT NOT NULL,
    made_at BIGINT NOT NULL
);
CREATE INDEX sign_ups_by_address ON sign_ups (address_hash, made_at);
)",
    // An address is confirmed by a mailed link before its scores count;
    // accounts from before were taken as they were.
    R"(
ALTER TABLE accounts ADD COLUMN confirmed_at BIGINT;
UPDATE accounts SET confirmed_at = created_at;
CREATE TABLE email_confirmations (
    token_hash TEXT PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    created_at BIGINT NOT NULL,
    expires_at BIGINT NOT NULL,
    used_at BIGINT
);
CREATE INDEX email_confirmations_by_account ON email_confirmations (account_id);
)",
    // Mail waiting to go out over SMTP, whole, until it is sent.
    R"(
CREATE TABLE mail_queue (
    id {id},
    sender TEXT NOT NULL,
    recipient TEXT NOT NULL,
    message TEXT NOT NULL,
    queued_at BIGINT NOT NULL,
    tries BIGINT NOT NULL,
    next_try_at BIGINT NOT NULL
);
CREATE INDEX mail_queue_due ON mail_queue (next_try_at);
)",
    // Scores proven by replay, the tickets they are played on, the queue
    // they wait in; the lists are computed from the scores themselves, so
    // whatever later hides a score or narrows a list needs no second table
    // kept in step.
    R"(
CREATE TABLE tickets (
    id {id},
    ticket TEXT NOT NULL UNIQUE,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    game_id INTEGER NOT NULL,
    seed BIGINT NOT NULL,
    issued_at_ms BIGINT NOT NULL,
    used_at_ms BIGINT
);
CREATE INDEX tickets_by_account ON tickets (account_id);
CREATE TABLE replays (
    id {id},
    ticket_id BIGINT NOT NULL UNIQUE REFERENCES tickets (id),
    replay {bytes} NOT NULL,
    status TEXT NOT NULL,
    claimed_until_ms BIGINT NOT NULL DEFAULT 0,
    reason TEXT,
    submitted_at BIGINT NOT NULL,
    decided_at BIGINT
);
CREATE INDEX replays_pending ON replays (claimed_until_ms, id) WHERE status = 'pending';
ALTER TABLE submissions ADD COLUMN replay_id BIGINT REFERENCES replays (id);
ALTER TABLE submissions ADD COLUMN form_key TEXT;
CREATE UNIQUE INDEX submissions_by_replay ON submissions (replay_id);
CREATE UNIQUE INDEX submissions_by_form ON submissions (form_key);
CREATE INDEX submissions_ranking ON submissions (game_id, score DESC, submitted_at, id);
CREATE INDEX submissions_verified_ranking ON submissions (game_id, score DESC, submitted_at, id) WHERE replay_id IS NOT NULL;
DROP TABLE best_scores;
)",
    // Games and competition periods as rows the organiser keeps; a score
    // belongs to the period it was accepted in. Hidden scores and banned
    // accounts stay stored and only leave the lists; a closed period's
    // winners are copied out, so nothing done later moves them. Every
    // organiser action is kept in the audit table.
    R"(
CREATE TABLE games (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    is_current INTEGER NOT NULL
);
INSERT INTO games (id, name, is_current) VALUES (4, 'Zifra Invaders', 1);
CREATE TABLE periods (
    id {id},
    name TEXT NOT NULL UNIQUE,
    starts_at BIGINT NOT NULL,
    ends_at BIGINT NOT NULL,
    closed_at BIGINT
);
CREATE INDEX periods_by_time ON periods (starts_at, ends_at);
ALTER TABLE submissions ADD COLUMN period_id BIGINT REFERENCES periods (id);
ALTER TABLE submissions ADD COLUMN hidden_at BIGINT;
ALTER TABLE submissions ADD COLUMN hidden_reason TEXT;
ALTER TABLE accounts ADD COLUMN banned_at BIGINT;
ALTER TABLE accounts ADD COLUMN banned_reason TEXT;
CREATE INDEX accounts_banned ON accounts (id) WHERE banned_at IS NOT NULL;
DROP INDEX submissions_ranking;
DROP INDEX submissions_verified_ranking;
CREATE INDEX submissions_ranking ON submissions (game_id, score DESC, submitted_at, id) WHERE hidden_at IS NULL;
CREATE INDEX submissions_verified_ranking ON submissions (game_id, score DESC, submitted_at, id) WHERE hidden_at IS NULL AND replay_id IS NOT NULL;
CREATE INDEX submissions_period_ranking ON submissions (period_id, game_id, score DESC, submitted_at, id) WHERE hidden_at IS NULL;
CREATE INDEX submissions_by_account_game ON submissions (account_id, game_id, period_id);
CREATE TABLE winners (
    period_id BIGINT NOT NULL REFERENCES periods (id),
    game_id INTEGER NOT NULL,
    place INTEGER NOT NULL,
    account_id BIGINT REFERENCES accounts (id),
    nickname TEXT NOT NULL,
    score INTEGER NOT NULL,
    achieved_at BIGINT NOT NULL,
    claim_token_hash TEXT UNIQUE,
    claimed_at BIGINT,
    full_name TEXT,
    postal_address TEXT,
    lives_in_sweden INTEGER,
    PRIMARY KEY (period_id, game_id, place)
);
CREATE TABLE audit (
    id {id},
    actor TEXT NOT NULL,
    action TEXT NOT NULL,
    subject TEXT NOT NULL,
    reason TEXT NOT NULL,
    done_at BIGINT NOT NULL
);
)",
    // Each player's best per game and period, and their sum over the
    // current games, for the collective ranking: summing a million scores
    // for every look at the start page is too slow. Both are worked out
    // again from the stored scores whenever one of a player's scores is
    // stored, hidden or restored, and wholly when the current games change
    // (rankings.h), in the same transaction.
    R"(
CREATE TABLE period_bests (
    period_id BIGINT NOT NULL REFERENCES periods (id),
    game_id INTEGER NOT NULL,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    score INTEGER NOT NULL,
    reached_at BIGINT NOT NULL,
    PRIMARY KEY (period_id, game_id, account_id)
);
CREATE TABLE period_totals (
    period_id BIGINT NOT NULL REFERENCES periods (id),
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    games INTEGER NOT NULL,
    total BIGINT NOT NULL,
    reached_at BIGINT NOT NULL,
    PRIMARY KEY (period_id, account_id)
);
CREATE INDEX period_bests_by_account ON period_bests (period_id, account_id);
CREATE INDEX period_totals_ranking ON period_totals (period_id, games, total DESC, reached_at, account_id);
)",
    // News by mail to those who asked for it at sign-up; every mail has a
    // link of its own that ends the subscription, kept as its hash.
    R"(
ALTER TABLE accounts ADD COLUMN news INTEGER NOT NULL DEFAULT 0;
CREATE TABLE unsubscribe_links (
    token_hash TEXT PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    created_at BIGINT NOT NULL
);
)",
    // Who sent a player the game, as the player named them at sign-up; a
    // winner's referrer wins the bonus prize, named beside the winner.
    R"(
ALTER TABLE accounts ADD COLUMN referrer_id BIGINT REFERENCES accounts (id);
ALTER TABLE winners ADD COLUMN referrer_nickname TEXT;
)",
    // Players signed in on the site, each session kept as the hash of its
    // id with the token its forms carry; and new e-mail addresses waiting
    // for the mailed link that confirms them.
    R"(
CREATE TABLE sessions (
    id_hash TEXT PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    form_token TEXT NOT NULL,
    created_at BIGINT NOT NULL,
    last_seen_at BIGINT NOT NULL,
    expires_at BIGINT NOT NULL
);
CREATE INDEX sessions_by_account ON sessions (account_id);
CREATE INDEX sessions_by_expiry ON sessions (expires_at);
CREATE TABLE email_changes (
    token_hash TEXT PRIMARY KEY,
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    email TEXT NOT NULL,
    email_key TEXT NOT NULL,
    created_at BIGINT NOT NULL,
    expires_at BIGINT NOT NULL,
    used_at BIGINT
);
CREATE INDEX email_changes_by_account ON email_changes (account_id, created_at);
)",
    // Friends a player challenged, each kept as a keyed hash of the address:
    // enough to bound how often an address is mailed, without keeping the
    // addresses of people who never asked to be known here. A row is kept
    // for every friend named, mailed or not, so the day's share counts the
    // same whether an address said no or not. The sign-up link's token is
    // kept as its hash (none when no mail went), with the account that
    // signed up through it. Addresses that asked for no more mail are kept
    // the same way, and so are the links that ask it.
    R"(
CREATE TABLE challenges (
    id {id},
    account_id BIGINT NOT NULL REFERENCES accounts (id),
    friend_hash TEXT NOT NULL,
    token_hash TEXT UNIQUE,
    sent_at BIGINT NOT NULL,
    mailed INTEGER NOT NULL,
    joined_id BIGINT REFERENCES accounts (id)
);
CREATE INDEX challenges_by_account ON challenges (account_id, sent_at);
CREATE INDEX challenges_by_friend ON challenges (friend_hash, sent_at);
CREATE TABLE mail_refusals (
    address_hash TEXT PRIMARY KEY,
    refused_at BIGINT NOT NULL
);
CREATE TABLE refusal_links (
    token_hash TEXT PRIMARY KEY,
    address_hash TEXT NOT NULL,
    created_at BIGINT NOT NULL
);
)",
};

std::string forDialect(std::string_view sql, SqlDialect dialect) {
    std::string text(sql);
    std::string id = dialect == SqlDialect::sqlite ? "INTEGER PRIMARY KEY"
                                                   : "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    std::string bytes = dialect == SqlDialect::sqlite ? "BLOB" : "BYTEA";
    for (std::size_t at; (at = text.find("{id}")) != std::string::npos;) text.replace(at, 4, id);
    for (std::size_t at; (at = text.find("{bytes}")) != std::string::npos;) text.replace(at, 7, bytes);
    return text;
}

// One statement at a time: prepared statements hold exactly one.
void runScript(SqlConnection& connection, const std::string& script) {
    std::size_t start = 0;
    for (std::size_t end; (end = script.find(';', start)) != std::string::npos; start = end + 1) {
        std::string statement = script.substr(start, end - start);
        if (statement.find_first_not_of(" \n") != std::string::npos) connection.query(statement);
    }
}

}  // namespace

int schemaVersion() { return static_cast<int>(migrations.size()); }

void migrateSchema(SqlConnection& connection) {
    connection.query("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    SqlTransaction transaction(connection);
    if (connection.dialect() == SqlDialect::postgresql) {
        // Servers starting side by side take turns.
        connection.query("LOCK TABLE schema_version IN EXCLUSIVE MODE");
    }
    auto rows = connection.query("SELECT version FROM schema_version");
    int version = rows.empty() ? 0 : static_cast<int>(sqlInteger(rows[0][0]));
    if (version > schemaVersion()) {
        throw SqlError("the database has schema version " + std::to_string(version) + ", newer than this server's " +
                       std::to_string(schemaVersion()));
    }
    for (int v = version; v < schemaVersion(); ++v) runScript(connection, forDialect(migrations[v], connection.dialect()));
    if (rows.empty()) {
        connection.query("INSERT INTO schema_version (version) VALUES ($1)", {std::int64_t{schemaVersion()}});
    } else {
        connection.query("UPDATE schema_version SET version = $1", {std::int64_t{schemaVersion()}});
    }
    transaction.commit();
}
