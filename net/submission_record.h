#pragma once
// SubmissionRecord: a high-score submission, its inputs and its outcome. The
// program keeps one for the run and never saves it: what the player typed is
// offered again only until the program ends.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/field_limits.h"

inline constexpr std::size_t maxMessageLength = 255;

struct SubmissionRecord {
    // The member initialisers are the record's start values.
    std::string userName;  // the player's e-mail address, as typed
    std::int32_t gameId = 4;
    std::string password;  // as typed
    std::int32_t score = 0;  // negated by submitScore when integrityFlag is set
    std::uint32_t playTime = 0;  // ms, a copy of bestScorePlayTime
    bool integrityFlag = false;  // the score is not to be trusted
    // 0 accepted; 1 and 2 the server's refusals; -1 the library is not bound;
    // otherwise an error number or another server code, never 0 on failure.
    std::int32_t resultCode = 0;
    std::string message;  // failure text or the server's answer
    std::int32_t versionNumber = 3;  // the server's newest version of the game
};
