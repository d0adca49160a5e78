#pragma once
// The first line of the competition server's answer to a score: what the
// server decided, and what the game does next.
#include <cstdint>

enum class AnswerCode : std::int32_t {
    accepted = 0,
    notSignedUp = 1,  // the game opens the sign-up page
    wrongPassword = 2,  // the game opens the password help
    refused = 3,
    malformed = 4,
    unavailable = 5,  // the service could not decide now; nothing was stored
};

// The code as the answer's first line carries it.
constexpr std::int32_t answerNumber(AnswerCode code) { return static_cast<std::int32_t>(code); }
