#pragma once
// An account registers scores only once its owner has answered the link
// mailed at sign-up: an address that nobody there asked for stays a name
// without scores. A new password set through a reset link, which also came
// by mail, confirms the address too.
#include <cstdint>
#include <string>

#include "server/connection_pool.h"
#include "server/outbox.h"

// How long a confirmation link works.
inline constexpr std::int64_t confirmLinkLifetime = 7 * 24 * 60 * 60;

class Confirmations {
public:
    explicit Confirmations(ConnectionPool& pool) : pool_(pool) {}

    void add(const std::string& tokenHash, std::int64_t accountId, std::int64_t now);
    // True while the token is unused and unexpired.
    bool works(const std::string& tokenHash, std::int64_t now);
    // Uses the token up and confirms its account; false when it did not work.
    bool confirm(const std::string& tokenHash, std::int64_t now);
    void confirmAccount(std::int64_t accountId, std::int64_t now);
    bool confirmed(std::int64_t accountId);

private:
    ConnectionPool& pool_;
};

// The mail with the link, from and to the given addresses.
MailMessage confirmationMail(const std::string& from, const std::string& to, const std::string& nickname,
                             const std::string& link);

// The mail to the owner of an address that someone signed up with again,
// with the link to choose a new password.
MailMessage takenAddressMail(const std::string& from, const std::string& to, const std::string& nickname,
                             const std::string& passwordLink);
