#include "server/account_data.h"

#include <ctime>

#include "server/sent_challenges.h"

namespace {

using Json = nlohmann::ordered_json;

// A time as ISO 8601 UTC, to the second.
std::string isoTime(std::int64_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

Json timeOrNull(const std::optional<std::string>& value) {
    if (!value) return nullptr;
    return isoTime(sqlInteger(value));
}

Json textOrNull(const std::optional<std::string>& value) {
    if (!value) return nullptr;
    return *value;
}

}  // namespace

Json accountData(SqlConnection& connection, std::int64_t accountId) {
    std::vector<SqlParam> id = {accountId};
    auto a = connection.query(
        "SELECT a.email, a.nickname, a.created_at, a.confirmed_at, a.news, r.nickname, a.banned_at, a.banned_reason "
        "FROM accounts a LEFT JOIN accounts r ON r.id = a.referrer_id WHERE a.id = $1",
        id);
    if (a.empty()) return nullptr;
    const SqlRow& r = a[0];
    Json data;
    data["account"] = {{"email", *r[0]},
                       {"nickname", *r[1]},
                       {"created", isoTime(sqlInteger(r[2]))},
                       {"confirmed", timeOrNull(r[3])},
                       {"news", sqlInteger(r[4]) != 0},
                       {"referrer", textOrNull(r[5])},
                       {"banned", timeOrNull(r[6])},
                       {"bannedReason", textOrNull(r[7])}};

    Json scores = Json::array();
    for (const SqlRow& s : connection.query(
             "SELECT s.id, s.game_id, g.name, s.score, s.play_time_ms, s.speed_count, s.processor, s.build_checksum, "
             "s.build_size, s.submitted_at, p.name, CASE WHEN s.replay_id IS NULL THEN 0 ELSE 1 END, s.hidden_at, "
             "s.hidden_reason FROM submissions s LEFT JOIN games g ON g.id = s.game_id "
             "LEFT JOIN periods p ON p.id = s.period_id WHERE s.account_id = $1 ORDER BY s.submitted_at, s.id",
             id)) {
        scores.push_back({{"id", sqlInteger(s[0])},
                          {"gameId", sqlInteger(s[1])},
                          {"game", textOrNull(s[2])},
                          {"score", sqlInteger(s[3])},
                          {"playTimeMs", sqlInteger(s[4])},
                          {"speedCount", sqlInteger(s[5])},
                          {"processor", *s[6]},
                          {"buildChecksum", sqlInteger(s[7])},
                          {"buildSize", sqlInteger(s[8])},
                          {"submitted", isoTime(sqlInteger(s[9]))},
                          {"period", textOrNull(s[10])},
                          {"proven", sqlInteger(s[11]) != 0},
                          {"hidden", timeOrNull(s[12])},
                          {"hiddenReason", textOrNull(s[13])}});
    }
    data["scores"] = std::move(scores);

    Json games = Json::array();
    for (const SqlRow& t :
         connection.query("SELECT t.game_id, t.seed, t.issued_at_ms, t.used_at_ms, r.status, r.reason FROM tickets t "
                          "LEFT JOIN replays r ON r.ticket_id = t.id WHERE t.account_id = $1 ORDER BY t.id",
                          id)) {
        games.push_back({{"gameId", sqlInteger(t[0])},
                         {"seed", sqlInteger(t[1])},
                         {"issued", isoTime(sqlInteger(t[2]) / 1000)},
                         {"used", t[3] ? Json(isoTime(sqlInteger(t[3]) / 1000)) : Json(nullptr)},
                         {"replay", textOrNull(t[4])},
                         {"replayReason", textOrNull(t[5])}});
    }
    data["tickets"] = std::move(games);

    Json winners = Json::array();
    for (const SqlRow& w : connection.query(
             "SELECT p.name, w.game_id, w.place, w.nickname, w.score, w.claimed_at, w.full_name, w.postal_address, "
             "w.lives_in_sweden FROM winners w JOIN periods p ON p.id = w.period_id WHERE w.account_id = $1 "
             "ORDER BY p.starts_at, w.game_id",
             id)) {
        winners.push_back({{"period", *w[0]},
                           {"gameId", sqlInteger(w[1])},
                           {"place", sqlInteger(w[2])},
                           {"nickname", *w[3]},
                           {"score", sqlInteger(w[4])},
                           {"claimed", timeOrNull(w[5])},
                           {"fullName", textOrNull(w[6])},
                           {"postalAddress", textOrNull(w[7])},
                           {"livesInSweden", w[8] ? Json(sqlInteger(w[8]) != 0) : Json(nullptr)}});
    }
    data["winners"] = std::move(winners);

    Json changes = Json::array();
    for (const SqlRow& c : connection.query("SELECT email, created_at, expires_at, used_at FROM email_changes WHERE "
                                            "account_id = $1 ORDER BY created_at",
                                            id)) {
        changes.push_back({{"email", *c[0]},
                           {"asked", isoTime(sqlInteger(c[1]))},
                           {"expires", isoTime(sqlInteger(c[2]))},
                           {"used", timeOrNull(c[3])}});
    }
    data["emailChanges"] = std::move(changes);

    Json sessions = Json::array();
    for (const SqlRow& s : connection.query(
             "SELECT created_at, last_seen_at, expires_at FROM sessions WHERE account_id = $1 ORDER BY created_at",
             id)) {
        sessions.push_back({{"created", isoTime(sqlInteger(s[0]))},
                            {"lastSeen", isoTime(sqlInteger(s[1]))},
                            {"expires", isoTime(sqlInteger(s[2]))}});
    }
    data["sessions"] = std::move(sessions);

    // The links mailed to the player, by when they were made and used.
    Json links = Json::array();
    for (const SqlRow& l : connection.query(
             "SELECT 'confirmation', created_at, used_at FROM email_confirmations WHERE account_id = $1 "
             "UNION ALL SELECT 'password reset', created_at, used_at FROM password_resets WHERE account_id = $1 "
             "UNION ALL SELECT 'news unsubscribe', created_at, NULL FROM unsubscribe_links WHERE account_id = $1 "
             "ORDER BY 2",
             id)) {
        links.push_back({{"kind", *l[0]}, {"made", isoTime(sqlInteger(l[1]))}, {"used", timeOrNull(l[2])}});
    }
    data["mailedLinks"] = std::move(links);

    Json challenges = Json::array();
    for (const SentChallenge& c : sentChallenges(connection, accountId)) {
        challenges.push_back({{"sent", isoTime(c.sentAt)}, {"joined", c.joined.empty() ? Json(nullptr) : Json(c.joined)}});
    }
    data["challenges"] = std::move(challenges);
    return data;
}
