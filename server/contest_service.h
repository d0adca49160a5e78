#pragma once
// The competition's course, apart from HTTP: the current period and its
// lists, the close of a period with its winners and their mail, the prize
// claims, and the organiser's changes (contest_admin.h is their command line).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "server/contest_store.h"
#include "server/outbox.h"
#include "server/outcome.h"

struct ContestSettings {
    std::string site;  // "http://host[:port]", which claim links begin with
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
    ListedScores listed = ListedScores::all;
};

// One game's lists: the period's (when there is one) and all time's.
struct GameLists {
    GameEntry game;
    std::vector<Placing> period, allTime;
};

struct ContestView {
    std::optional<Period> period;  // the current one, or the one asked for
    std::vector<GameLists> games;  // the current games
    std::vector<CollectivePlacing> collective;  // the period's, when there is one
};

// One game's lists as asked for; notFound for an unknown game or period.
struct GameListsAnswer {
    Outcome outcome = Outcome::done;
    std::optional<Period> period;
    GameLists lists;
};

// A period's collective ranking as asked for; notFound for an unknown period.
struct CollectiveAnswer {
    Outcome outcome = Outcome::done;
    std::optional<Period> period;
    std::vector<CollectivePlacing> ranking;
};

struct ClosedPeriod {
    Period period;
    std::vector<Winner> winners;
};

// What a claim form is missing, in Swedish; none when it is stored.
using ClaimFaults = std::vector<std::string>;

inline constexpr std::size_t maxFullNameCharacters = 100;
inline constexpr std::size_t maxPostalAddressCharacters = 300;

class ContestService {
public:
    ContestService(ConnectionPool& pool, ContestSettings settings, SendMail mail);

    ContestStore& store() { return store_; }
    std::int64_t now() const;
    ListedScores listed() const { return settings_.listed; }

    // The current games' lists of the period (the current one when none is
    // named) and of all time; nothing when a named period is unknown.
    std::optional<ContestView> view(const std::optional<std::string>& periodName = std::nullopt);
    // One game's lists, the same way.
    GameListsAnswer gameLists(std::int32_t gameId, const std::optional<std::string>& periodName);

    // The period's (the current one when none is named) collective ranking.
    CollectiveAnswer collective(const std::optional<std::string>& periodName);

    // Closes every period past its end; what the server runs now and then.
    // Returns how many it closed.
    int closeEndedPeriods();
    // Closes the period now and mails its winners; nothing when it is
    // unknown or already closed. A null note: the service's own close.
    std::optional<std::vector<Winner>> closePeriod(const Period& period, const std::optional<AuditNote>& note);

    // Every closed period with its winners, the latest first.
    std::vector<ClosedPeriod> closedPeriods();

    // The winner a claim link is for while it is unclaimed.
    std::optional<Winner> claimable(const std::string& token);
    // Stores a winner's details: done, faulty with what the form is missing,
    // or gone (with its fault) when the link is used or unknown.
    FormOutcome claim(const std::string& token, const PrizeClaim& claim);

private:
    void mailWinner(const NewWinner& winner, const Period& period);

    ContestSettings settings_;
    ContestStore store_;
    SendMail mail_;
};
