#pragma once
// The challenges a player has sent, for my pages and my data, read from
// the challenges' own table (challenges.h). A friend's address is kept
// there only as a keyed hash, so a challenge is told by when it was sent
// and who signed up through it. Whether its mail went is not told: that
// would tell the player which friends asked for no more mail.
#include <cstdint>
#include <string>
#include <vector>

#include "server/sql_connection.h"

struct SentChallenge {
    std::int64_t sentAt = 0;
    std::string joined;   // the nickname of who signed up through its link; empty: nobody yet
};

// The player's challenges, the newest first.
std::vector<SentChallenge> sentChallenges(SqlConnection& connection, std::int64_t accountId);
