#pragma once
// The service's addresses: the game's score post, the pages the game and
// its menu open, sign-up, password help, and the JSON interface
// (api_routes.h).
#include <httplib.h>

#include "game/replay.h"
#include "server/competition_service.h"

// The longest request body taken: the longest replay; far above any form.
inline constexpr std::size_t maxRequestBody = ReplayLimits{}.maxBytes;

// The longest answer the game reads.
inline constexpr std::size_t maxSubmissionAnswer = 16383;

void addRoutes(httplib::Server& server, CompetitionService& service);

// The first three lines of the game's answer: code, version, and the text in
// code page 1252, each ended by CR LF.
std::string submissionAnswerText(const SubmissionAnswer& answer, std::int32_t version);
