#pragma once
// Players signed in on the site. A session is known by a random id that
// only the player's browser holds (the zifra_session cookie); the table
// keeps its hash, so that reading it signs nobody in. Each session has a
// form token of its own, which every form of a signed-in page carries and
// every signed-in POST must send back. A session ends at sign-out, after a
// week unused or a month in all, and when its account is banned, changes
// its password (the others) or is deleted.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "server/connection_pool.h"

inline constexpr std::int64_t sessionLifetime = 30 * 24 * 60 * 60;
inline constexpr std::int64_t sessionIdleLimit = 7 * 24 * 60 * 60;

// A session that is in use, and whose it is.
struct Session {
    std::string idHash;  // as stored; the id itself is the browser's alone
    std::int64_t accountId = 0;
    std::string nickname, email;
    std::string formToken;
};

// A session just begun: what the browser is given.
struct NewSession {
    std::string id;  // for the cookie
    std::string formToken;
};

class Sessions {
public:
    Sessions(ConnectionPool& pool, std::function<std::int64_t()> clock);

    // A new session, with a new id and form token, for the account.
    NewSession start(std::int64_t accountId);
    // The session of an id while it lasts and its account is not banned;
    // notes that it was used.
    std::optional<Session> find(const std::string& id);
    void end(const Session& session);
    // Ends every session of the account, or every one but `kept` (an id hash).
    void endAll(std::int64_t accountId);
    void endOthers(std::int64_t accountId, const std::string& kept);

private:
    std::int64_t now() const;

    ConnectionPool& pool_;
    std::function<std::int64_t()> clock_;
};

// Ends every session of the account inside the caller's transaction: a
// ban or a deletion does it in the same one as the change itself.
void endSessionsOf(SqlConnection& connection, std::int64_t accountId);
// Every one of them but `kept` (an id hash): a new password does so.
void endOtherSessionsOf(SqlConnection& connection, std::int64_t accountId, const std::string& kept);
