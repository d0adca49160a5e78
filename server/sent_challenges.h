#pragma once
// The challenges a player has sent, for my pages and my data. The
// challenges themselves (the form at /index2.htm, their mail and their
// table) are kept by their own part of the service; this is the one place
// my pages read them from.
#include <cstdint>
#include <string>
#include <vector>

#include "server/sql_connection.h"

struct SentChallenge {
    std::string friendEmail;
    std::int64_t sentAt = 0;
    bool signedUp = false;  // the friend signed up through the challenge's link
};

// The player's challenges, the newest first.
std::vector<SentChallenge> sentChallenges(SqlConnection& connection, std::int64_t accountId);
