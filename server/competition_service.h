#pragma once
// The competition service's decisions, apart from HTTP: the answer to a
// score submission, sign-up, password help, and the ten-best lists.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/answer_codes.h"
#include "net/field_limits.h"
#include "server/known_builds.h"
#include "server/outbox.h"
#include "server/passwords.h"
#include "server/score_proofs.h"
#include "server/store.h"

// The games the service runs competitions for.
struct Game {
    std::int32_t id;
    const char* name;
};
inline constexpr Game knownGames[] = {{4, "Zifra Invaders"}};

struct SubmissionAnswer {
    AnswerCode code;
    std::string text;  // one line of Swedish for logs and players, UTF-8
};

struct SignUpForm {
    std::string email, nickname, password, repeated;  // UTF-8, as the browser sent them
};

struct ServiceSettings {
    std::int32_t version = 3;  // the newest version of the game, announced in every answer
    std::optional<KnownBuilds> builds;  // when given, only these builds may send scores
    std::filesystem::path outbox = "outbox";
    // The public address, "http://host[:port]", that links in mail begin
    // with and whose host sends the mail. Never taken from a request: its
    // Host header is whatever the client wrote.
    std::string site;
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
    // The lists rank only scores proven by a replay; the game's own form
    // is still taken and stored, and not listed.
    bool verifiedOnly = false;
    // The browser game's folder, served under /spela/; none without --web.
    std::optional<std::filesystem::path> webGame;
};

// How long a password reset link works, and how many a player may ask for
// in that time.
inline constexpr std::int64_t resetLinkLifetime = 60 * 60;
inline constexpr std::int64_t resetLinksPerLifetime = 3;

// The sign-up form's own limits; the e-mail address and the password are
// bounded by what the game's dialog can send (field_limits.h).
inline constexpr std::size_t maxNicknameCharacters = 32;
inline constexpr std::size_t minPasswordCharacters = 6;

class CompetitionService {
public:
    CompetitionService(ConnectionPool& pool, ServiceSettings settings);

    std::int32_t version() const { return settings_.version; }
    const std::optional<std::filesystem::path>& webGame() const { return settings_.webGame; }

    // The answer to the body of a score post; an accepted score is committed
    // before this returns. A database that fails or passwords that cannot be
    // checked in time answer unavailable.
    SubmissionAnswer submit(std::string_view body);

    // Signs a player up; the faults of the form in Swedish, none when done.
    // Throws HashingBusy (and SqlError) when it cannot be done now.
    std::vector<std::string> signUp(const SignUpForm& form);

    // Sends a reset link to the address when it is signed up, unless it has
    // had its share of links lately. Says nothing of whether the address is
    // known.
    void requestPasswordReset(std::string_view email);

    // True while the token of a reset link can still be used.
    bool resetLinkWorks(const std::string& token);

    // Sets a new password through a reset link and uses the link up; the
    // faults in Swedish, none when done. Throws HashingBusy (and SqlError)
    // when it cannot be done now.
    std::vector<std::string> resetPassword(const std::string& token, const std::string& password,
                                           const std::string& repeated);

    std::vector<Placing> topTen(std::int32_t gameId) {
        return store_.topTen(gameId, settings_.verifiedOnly ? ListedScores::verifiedOnly : ListedScores::all);
    }

    // Tickets, replays and their verification.
    ScoreProofs& proofs() { return proofs_; }

private:
    std::int64_t now() const;
    SubmissionAnswer judge(std::string_view body);

    ServiceSettings settings_;
    Store store_;
    Outbox outbox_;
    PasswordChecker passwords_;
    ScoreProofs proofs_;
};

// A known game's entry, or none.
const Game* findGame(std::int32_t id);
