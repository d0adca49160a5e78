#include "server/attempt_limits.h"

#include <sodium.h>

#include <algorithm>

namespace {

// The same on every server, so that they count one address together; the
// table alone does not give the addresses back without trying them all.
std::string addressScope(const std::string& address) {
    static constexpr unsigned char key[] = "zifra-server client address";
    unsigned char digest[16];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(address.data()), address.size(),
                       key, sizeof key - 1);
    char hex[2 * sizeof digest + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return std::string("address:") + hex;
}

std::string accountScope(std::int64_t accountId) { return "account:" + std::to_string(accountId); }

}  // namespace

std::int64_t backOffSeconds(std::int64_t failures) {
    if (failures < freeFailures) return 0;
    std::int64_t doublings = std::min<std::int64_t>(failures - freeFailures, 6);
    return std::min<std::int64_t>(longestBackOff, std::int64_t{1} << doublings);
}

std::int64_t AttemptLimits::waitFor(SqlConnection& connection, const std::string& scope, std::int64_t now,
                                    bool& failures) {
    auto rows = connection.query("SELECT failures, last_failure_at FROM login_failures WHERE scope = $1", {scope});
    if (rows.empty()) return 0;
    failures = true;
    std::int64_t count = sqlInteger(rows[0][0]), last = sqlInteger(rows[0][1]);
    if (now - last >= failureMemory) return 0;
    return std::max<std::int64_t>(0, last + backOffSeconds(count) - now);
}

AttemptLimits::Standing AttemptLimits::passwordStanding(std::int64_t accountId, const std::string& address,
                                                        std::int64_t now) {
    auto connection = pool_.borrow();
    Standing standing;
    std::string client = addressScope(address);
    standing.wait = waitFor(*connection, client, now, standing.failures);
    auto trusted = connection->query(
        "SELECT last_success_at FROM trusted_addresses WHERE account_id = $1 AND address_hash = $2 AND "
        "last_success_at > $3",
        {accountId, client, now - trustedAddressLifetime});
    if (!trusted.empty()) standing.trustedAt = sqlInteger(trusted[0][0]);
    std::int64_t accountWait = waitFor(*connection, accountScope(accountId), now, standing.failures);
    if (trusted.empty()) standing.wait = std::max(standing.wait, accountWait);
    return standing;
}

void AttemptLimits::passwordFailed(std::int64_t accountId, const std::string& address, std::int64_t now) {
    auto connection = pool_.borrow();
    for (const std::string& scope : {accountScope(accountId), addressScope(address)}) {
        connection->query(
            "INSERT INTO login_failures (scope, failures, last_failure_at) VALUES ($1, 1, $2) "
            "ON CONFLICT (scope) DO UPDATE SET failures = CASE WHEN login_failures.last_failure_at <= $3 THEN 1 "
            "ELSE login_failures.failures + 1 END, last_failure_at = $2",
            {scope, now, now - failureMemory});
    }
}

void AttemptLimits::passwordPassed(std::int64_t accountId, const std::string& address, std::int64_t now,
                                   const Standing& before) {
    constexpr std::int64_t day = 24 * 60 * 60;
    if (!before.failures && before.trustedAt > now - day) return;
    auto connection = pool_.borrow();
    std::string client = addressScope(address);
    if (before.failures) {
        connection->query("DELETE FROM login_failures WHERE scope = $1 OR scope = $2", {accountScope(accountId), client});
    }
    if (before.trustedAt > now - day) return;
    connection->query(
        "INSERT INTO trusted_addresses (account_id, address_hash, last_success_at) VALUES ($1, $2, $3) "
        "ON CONFLICT (account_id, address_hash) DO UPDATE SET last_success_at = $3",
        {accountId, client, now});
}

bool AttemptLimits::takeSignUp(const std::string& address, std::int64_t now, std::int64_t most) {
    if (most <= 0) return true;
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    std::string client = addressScope(address);
    if (connection->dialect() == SqlDialect::postgresql) {
        // Sign-ups side by side from one address count one after the other.
        connection->query("SELECT 1 FROM (SELECT pg_advisory_xact_lock(hashtext($1))) AS locked", {client});
    }
    connection->query("DELETE FROM sign_ups WHERE made_at <= $1", {now - 3600});
    auto rows = connection->query("SELECT COUNT(*) FROM sign_ups WHERE address_hash = $1", {client});
    if (sqlInteger(rows[0][0]) >= most) return false;
    connection->query("INSERT INTO sign_ups (address_hash, made_at) VALUES ($1, $2)", {client, now});
    transaction.commit();
    return true;
}
