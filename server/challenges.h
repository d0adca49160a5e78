#pragma once
// "Utmana dina vänner": a signed-in player sends the game to up to five
// friends, each by one mail with the player's nickname and best score, the
// game's links and a sign-up link that tells the service who sent it (the
// friend's referrer, who wins the bonus prize if the friend wins). Nothing
// the player is told depends on whether a friend has an account or said
// no to mail: an address on the no-more-mail list (mail_refusals.h) is
// skipped in silence, and every friend named counts towards the day's share
// whether mailed or not.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "server/connection_pool.h"
#include "server/mail_refusals.h"
#include "server/outbox.h"
#include "server/outcome.h"
#include "server/rankings.h"

inline constexpr std::size_t maxChallengedFriends = 5;
inline constexpr std::size_t maxChallengeMessageCharacters = 200;
// The longest address a challenge goes to (RFC 5321's path less its brackets).
inline constexpr std::size_t maxFriendAddressBytes = 254;
// Friends named by one player in any 24 hours.
inline constexpr std::int64_t challengedFriendsPerDay = 20;
// The same friend is not mailed again by the same player sooner.
inline constexpr std::int64_t challengeRepeatWait = 7 * 24 * 60 * 60;
// Challenge mails to one address from all players together in a week, so
// that many accounts together cannot flood one mailbox.
inline constexpr std::int64_t challengeMailsPerAddressPerWeek = 3;

struct ChallengeForm {
    std::vector<std::string> friends;  // e-mail addresses as typed; empty ones are ignored
    std::string message;  // UTF-8, may be empty
};

struct ChallengeSettings {
    std::string site;  // "http://host[:port]", which the mail's links begin with
    bool webGame = false;  // the browser game is served under /spela/
    ListedScores listed = ListedScores::all;  // which scores the best one is taken from
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
};

class Challenges {
public:
    Challenges(ConnectionPool& pool, ChallengeSettings settings, SendMail mail);

    // Mails the form's friends for the account: done; faulty with the
    // form's faults (nothing is sent); tooMany past the day's share;
    // signInNeeded for an account that is not there; forbidden for a
    // banned one.
    FormOutcome send(std::int64_t accountId, const ChallengeForm& form);

    // The nickname of the player whose challenge the sign-up link's token
    // is, while that player is in the competition.
    std::optional<std::string> challenger(const std::string& token);
    // Notes the account that signed up through the link, the first one.
    void joined(const std::string& token, std::int64_t accountId);

    // The no-more-mail links (mail_refusals.h), on a connection of the pool.
    RefusalLink refusalLink(const std::string& token);
    bool refuseMail(const std::string& token);

private:
    std::int64_t now() const;

    ConnectionPool& pool_;
    ChallengeSettings settings_;
    SendMail mail_;
};
