#pragma once
// What the organiser keeps of the competition: the games, the periods and
// their frozen winners, hidden scores and banned accounts, and the audit
// of every organiser action, each written in the same transaction as the
// action itself. All times are calendar seconds, UTC.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/connection_pool.h"
#include "server/rankings.h"

struct GameEntry {
    std::int32_t id = 0;
    std::string name;
    bool current = false;  // in the running competition, on the start page
};

struct Period {
    std::int64_t id = 0;
    std::string name;
    std::int64_t startsAt = 0, endsAt = 0;  // start inclusive, end exclusive
    std::optional<std::int64_t> closedAt;
};

struct Winner {
    std::int32_t gameId = 0;
    std::int32_t place = 0;
    std::string nickname;
    std::int32_t score = 0;
    std::int64_t achievedAt = 0;
    bool claimed = false;
    std::string referrer{};  // the nickname of who sent the winner the game: the bonus prize's winner
};

// A winner as frozen at a close, with what the mail to them needs.
struct NewWinner {
    Winner winner;
    std::string email;  // empty when the account is gone
    std::string claimToken;  // the mail's; only its hash is stored
};

struct ScoreEntry {
    std::int64_t id = 0;
    std::string email, nickname;
    std::int32_t gameId = 0;
    std::int32_t score = 0;
    std::int64_t submittedAt = 0;
    std::string period;  // empty: outside every period
    bool verified = false;
    std::optional<std::string> hiddenReason;
};

// Who did an organiser action and why, for the audit table.
struct AuditNote {
    std::string actor, reason;
};

struct AuditEntry {
    std::string actor, action, subject, reason;
    std::int64_t doneAt = 0;
};

// What a winner sends on the claim page.
struct PrizeClaim {
    std::string fullName, postalAddress;
    bool livesInSweden = false;
};

enum class PeriodOpening { opened, nameTaken, overlaps, empty };

class ContestStore {
public:
    explicit ContestStore(ConnectionPool& pool) : pool_(pool) {}

    std::vector<GameEntry> games();
    std::vector<GameEntry> currentGames();
    std::optional<GameEntry> game(std::int32_t id);
    // False when a game has the id already.
    bool addGame(const GameEntry& game, const AuditNote& note, std::int64_t now);
    // Takes the game out of the running competition; false when unknown
    // or already retired.
    bool retireGame(std::int32_t id, const AuditNote& note, std::int64_t now);

    // The ten best of a game in the scope (rankings.h).
    std::vector<Placing> topTen(std::int32_t gameId, const ListScope& scope);

    std::vector<CollectivePlacing> collectiveTopTen(std::int64_t periodId, ListedScores listed);

    std::vector<Period> periods();
    std::optional<Period> period(const std::string& name);
    // The period that `time` falls in.
    std::optional<Period> periodAt(std::int64_t time);
    PeriodOpening openPeriod(const std::string& name, std::int64_t startsAt, std::int64_t endsAt, const AuditNote& note,
                             std::int64_t now);
    // Periods past their end and not yet closed.
    std::vector<Period> endedOpenPeriods(std::int64_t now);

    // Closes the period: its end moves to `now` if it is later, and the ten
    // best of each current game are stored as its winners, each with the
    // hash of a new claim token. Nothing when another closed it first
    // (servers side by side) or it is unknown; `note` is empty for the
    // service's own close at the period's end.
    std::optional<std::vector<NewWinner>> closePeriod(std::int64_t periodId, std::int64_t now, ListedScores listed,
                                                      const std::optional<AuditNote>& note);
    std::vector<Winner> winners(std::int64_t periodId);

    // The winner a claim token belongs to while it is unclaimed.
    std::optional<Winner> winnerOfToken(const std::string& tokenHash);
    // Stores the claim and uses the token up; false when it was used.
    bool claimPrize(const std::string& tokenHash, const PrizeClaim& claim, std::int64_t now);

    // Stored scores, newest first, of one player (an e-mail key) and/or one game.
    std::vector<ScoreEntry> scores(const std::optional<std::string>& emailKey, std::optional<std::int32_t> gameId);
    // False when the score is unknown or already so.
    bool hideScore(std::int64_t id, const AuditNote& note, std::int64_t now);
    bool restoreScore(std::int64_t id, const AuditNote& note, std::int64_t now);
    // False when no account has the e-mail key or it is already so.
    bool banAccount(const std::string& emailKey, const AuditNote& note, std::int64_t now);
    bool unbanAccount(const std::string& emailKey, const AuditNote& note, std::int64_t now);

    // An organiser action done outside this store, for the audit.
    void recordAction(const AuditNote& note, const std::string& action, const std::string& subject, std::int64_t now);
    std::vector<AuditEntry> audit();

private:
    ConnectionPool& pool_;
};
