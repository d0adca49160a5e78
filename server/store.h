#pragma once
// What the service keeps: accounts, every accepted submission, and password
// reset tokens; the lists are computed from the submissions. All times are
// calendar seconds. (Tickets and replays: replay_store.h.)
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/connection_pool.h"
#include "server/rankings.h"

struct Account {
    std::int64_t id = 0;
    std::string email;  // as signed up, UTF-8
    std::string nickname;
    std::string passwordHash;  // Argon2id
    bool banned = false;  // its scores are refused and left out of every list
};

struct NewAccount {
    std::string email, emailKey, nickname, nicknameKey, passwordHash;
    std::int64_t createdAt = 0;
    std::string nicknameSkeleton;  // equal for look-alike nicknames (nickname.h)
    bool news = false;
    std::string referrerKey{};  // the lower-case nickname of who sent the game, or empty
};

struct AcceptedSubmission {
    std::int64_t accountId = 0;
    std::int32_t gameId = 0;
    std::int32_t score = 0;
    std::int64_t playTimeMs = 0;
    std::int32_t speedCount = 0;
    std::string processor;
    std::int64_t buildChecksum = 0, buildSize = 0;
    std::int64_t submittedAt = 0;
    // The same form sent again has the same key and is stored once.
    std::string formKey;
};

enum class SignUpResult { created, emailTaken, nicknameTaken, referrerUnknown };

class Store {
public:
    explicit Store(ConnectionPool& pool) : pool_(pool) {}

    std::optional<Account> accountByEmailKey(const std::string& emailKey);
    SignUpResult addAccount(const NewAccount& account);

    // Stores the submission in the period its time falls in, if any; false
    // when one with its form key is already stored, and nothing is added.
    bool addSubmission(const AcceptedSubmission& submission);

    // The ten best players of a game in the scope (rankings.h).
    std::vector<Placing> topTen(std::int32_t gameId, const ListScope& scope);

    // Adds a reset token unless `most` have been issued to the account after
    // `since`; false when it has had its share. The count and the insert
    // are one transaction, so requests side by side cannot pass the limit
    // together.
    bool addResetToken(const std::string& tokenHash, std::int64_t accountId, std::int64_t now, std::int64_t expiresAt,
                       std::int64_t since, std::int64_t most);
    // The account of an unused, unexpired token, if any.
    std::optional<std::int64_t> resetTokenAccount(const std::string& tokenHash, std::int64_t now);
    // Sets the new password, uses up the token and every other open token
    // of the account and ends its sessions, in one transaction; false when
    // the token is unknown, used or expired.
    bool resetPassword(const std::string& tokenHash, std::int64_t now, const std::string& passwordHash);

private:
    ConnectionPool& pool_;
};
