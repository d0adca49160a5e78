#pragma once
// Limits on guessing passwords and on signing up, kept in the database so
// that every server in front of it agrees. Client addresses are kept only
// as keyed hashes.
//
// Wrong passwords back off per account and per client address: three are
// free, then each next try waits twice as long after the last failure, up
// to a minute; a quarter of an hour without a failure forgets them. Tries
// that wait are not checked at all, so a flood costs no hashing. An address
// that has given an account's right password within the last 30 days is
// not held back by failures on that account from elsewhere: an attacker can
// slow a player down by a minute at most, and only on a new address.
#include <cstdint>
#include <string>

#include "server/connection_pool.h"

inline constexpr std::int64_t freeFailures = 3;
inline constexpr std::int64_t longestBackOff = 60;
inline constexpr std::int64_t failureMemory = 15 * 60;
inline constexpr std::int64_t trustedAddressLifetime = 30 * 24 * 60 * 60;

class AttemptLimits {
public:
    explicit AttemptLimits(ConnectionPool& pool) : pool_(pool) {}

    struct Standing {
        std::int64_t wait = 0;  // seconds before a password may be checked; 0: now
        bool failures = false;  // the account or the address has failures on record
        std::int64_t trustedAt = -1;  // the address's last right password for the account; -1: none lately
    };
    // Reads only: a right password with nothing on record writes nothing
    // but a day's refresh of its address.
    Standing passwordStanding(std::int64_t accountId, const std::string& address, std::int64_t now);
    void passwordFailed(std::int64_t accountId, const std::string& address, std::int64_t now);
    void passwordPassed(std::int64_t accountId, const std::string& address, std::int64_t now, const Standing& before);

    // Counts a sign-up from the address unless `most` have come from it in
    // the last hour; false when it has had its share. 0: no limit.
    bool takeSignUp(const std::string& address, std::int64_t now, std::int64_t most);

private:
    // The wait for the scope, and whether it has failures on record.
    std::int64_t waitFor(SqlConnection& connection, const std::string& scope, std::int64_t now, bool& failures);

    ConnectionPool& pool_;
};

// The delay after `failures` wrong passwords in a row.
std::int64_t backOffSeconds(std::int64_t failures);
