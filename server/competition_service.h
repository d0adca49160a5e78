#pragma once
// The competition service's decisions, apart from HTTP: the answer to a
// score submission, sign-up, password help, and the ten-best lists.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/answer_codes.h"
#include "net/field_limits.h"
#include "server/account_rules.h"
#include "server/attempt_limits.h"
#include "server/challenges.h"
#include "server/email_confirmation.h"
#include "server/contest_service.h"
#include "server/known_builds.h"
#include "server/news.h"
#include "server/outbox.h"
#include "server/outcome.h"
#include "server/passwords.h"
#include "server/player_check.h"
#include "server/score_proofs.h"
#include "server/sessions.h"
#include "server/store.h"

// The game whose tickets the service issues for proven scores.
inline constexpr std::int32_t zifraInvadersGameId = 4;

struct SubmissionAnswer {
    AnswerCode code;
    std::string text;  // one line of Swedish for logs and players, UTF-8
};

struct SignUpForm {
    std::string email, nickname, password, repeated;  // UTF-8, as the browser sent them
    bool news = false;  // mail me news of Kvippa's games
    std::string referrer{};  // the nickname of who sent the game, or empty
    std::string challenge{};  // the token of the challenge link it came by, or empty
};

// What came of asking for a ticket: issued, or why not.
struct TicketRequest {
    enum class Outcome { issued, wrongLogin, backOff, unconfirmed, banned } outcome = Outcome::wrongLogin;
    IssuedTicket ticket;  // when issued
    std::int64_t wait = 0;  // seconds before a password is checked again, for backOff
};

// What a ticket request comes to: done when issued, else why not.
Outcome outcomeOf(const TicketRequest& asked);

struct ServiceSettings {
    std::int32_t version = 3;  // the newest version of the game, announced in every answer
    std::optional<KnownBuilds> builds;  // when given, only these builds may send scores
    std::filesystem::path outbox = "outbox";
    // The public address, "http://host[:port]", that links in mail begin
    // with and whose host sends the mail. Never taken from a request: its
    // Host header is whatever the client wrote.
    std::string site;
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
    std::int64_t signUpsPerAddress = 5;  // in an hour from one client address; 0: no limit
    // Where mail goes; into the outbox folder when empty.
    SendMail mail;
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

class Accounts;

class CompetitionService {
public:
    CompetitionService(ConnectionPool& pool, ServiceSettings settings);
    ~CompetitionService();

    std::int32_t version() const { return settings_.version; }
    // The public address, "http://host[:port]".
    const std::string& site() const { return settings_.site; }
    // The browser game's folder, served under /spela/; none when not served.
    const std::optional<std::filesystem::path>& webGame() const { return settings_.webGame; }

    // The answer to the body of a score post; an accepted score is committed
    // before this returns. A database that fails or passwords that cannot be
    // checked in time answer unavailable.
    // Wrong passwords back off per account and client address (attempt_limits.h).
    SubmissionAnswer submit(std::string_view body, const std::string& clientAddress = {});

    // Signs a player up and mails the confirmation link: done, faulty with
    // the faults of the form in Swedish, or tooMany sign-ups from the client
    // address lately (with its fault). An address that has an account is
    // answered as a new one is, and its owner is mailed instead. Without a
    // referrer named, the player of a challenge link is the referrer.
    // Throws HashingBusy (and SqlError) when it cannot be done now.
    FormOutcome signUp(const SignUpForm& form, const std::string& clientAddress = {});

    // Sends a reset link to the address when it is signed up, unless it has
    // had its share of links lately. Says nothing of whether the address is
    // known.
    void requestPasswordReset(std::string_view email);

    // done while a confirmation link's token can still be used, else gone.
    Outcome confirmLink(const std::string& token);
    // Confirms the account of a confirmation link and uses the link up:
    // done, or gone when the link does not work.
    Outcome confirmEmail(const std::string& token);

    // done while the token of a reset link can still be used, else gone.
    Outcome resetLink(const std::string& token);

    // Sets a new password through a reset link and uses the link up: done,
    // faulty with the faults in Swedish, or gone (with its fault) when the
    // link does not work. Throws HashingBusy (and SqlError) when it cannot be
    // done now.
    FormOutcome resetPassword(const std::string& token, const std::string& password, const std::string& repeated);

    // done for a version of the game there is, notFound for any other.
    Outcome hasVersion(std::int64_t version) const;

    // A game's ten best of all time.
    std::vector<Placing> topTen(std::int32_t gameId) { return store_.topTen(gameId, {listed(), std::nullopt}); }

    // Periods, games, winners and the organiser's changes.
    ContestService& contest() { return contest_; }
    // News to subscribers and the links that end a subscription.
    News& news() { return news_; }
    // Challenges to friends and the addresses that want no more mail.
    Challenges& challenges() { return challenges_; }

    // A ticket for the player of the e-mail address and password (UTF-8),
    // checked as a score post's are: wrong passwords back off, and an
    // unconfirmed address or a banned account gets none. Throws HashingBusy (and SqlError) when
    // it cannot be done now.
    TicketRequest requestTicket(std::string_view email, std::string_view password,
                                const std::string& clientAddress = {});

    // Replays sent on tickets and their verification.
    ScoreProofs& proofs() { return proofs_; }

    // Who is signed in on the site.
    Sessions& sessions() { return sessions_; }
    // Sign-in on the site and a player's own pages (accounts.h).
    Accounts& accounts() { return *accounts_; }

private:
    // The one check of a player's password, for score posts, tickets and
    // the site's sign-in and forms.
    using SignIn = PlayerCheck;  // accounts.h
    SignIn signIn(const std::string& emailKey, std::string_view password, const std::string& clientAddress);

    std::int64_t now() const;
    ListedScores listed() const { return settings_.verifiedOnly ? ListedScores::verifiedOnly : ListedScores::all; }
    void deliver(const MailMessage& message, std::int64_t time);
    SubmissionAnswer judge(std::string_view body, const std::string& clientAddress);

    ServiceSettings settings_;
    Store store_;
    Outbox outbox_;
    PasswordChecker passwords_;
    AttemptLimits attempts_;
    Confirmations confirmations_;
    ScoreProofs proofs_;
    ContestService contest_;
    News news_;
    Sessions sessions_;
    std::unique_ptr<Accounts> accounts_;
    Challenges challenges_;
};
