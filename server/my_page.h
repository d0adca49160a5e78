#pragma once
// What my pages show of a player: the account, the best per game and
// period, the latest scores, the challenges sent.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/sent_challenges.h"
#include "server/sql_connection.h"

struct MyBest {
    std::string game;
    std::string period;  // empty: all time
    std::int32_t score = 0;
};

struct MyScore {
    std::int64_t submittedAt = 0;
    std::string game;
    std::int32_t score = 0;
    bool proven = false;  // by a replay the service played again
    std::string period;   // empty: outside every period
    bool hidden = false;  // by the organiser: in no list
};

struct MyPage {
    std::string email, nickname;
    bool news = false;
    std::optional<std::string> pendingEmail;  // a new address waiting for its link
    std::vector<MyBest> bests;                // each game's all time, then its periods, the latest first
    std::vector<MyScore> scores;              // the latest first, at most myPageScores
    std::vector<SentChallenge> challenges;
};

// The page shows this many of the latest scores; my data has them all.
inline constexpr std::int64_t myPageScores = 100;

MyPage readMyPage(SqlConnection& connection, std::int64_t accountId, std::int64_t now);
