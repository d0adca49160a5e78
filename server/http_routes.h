#pragma once
// The service's one table of addresses: the game's score post, the pages
// the game and its menu open, sign-up and confirmation, password help, the
// competition's pages (contest_routes.h), challenges (challenge_routes.h),
// the JSON interface (api_routes.h), the game for download and the browser
// game under /spela/.
#include "game/replay.h"
#include "server/competition_service.h"
#include "server/route_table.h"

// The longest replay body taken; every other route takes the server's
// limit (ConnectionLimits::bodyBytes).
inline constexpr std::size_t maxReplayBody = ReplayLimits{}.maxBytes;

// The longest answer the game reads.
inline constexpr std::size_t maxSubmissionAnswer = 16383;

RouteTable competitionRoutes(CompetitionService& service);

// The first three lines of the game's answer: code, version, and the text in
// code page 1252, each ended by CR LF.
std::string submissionAnswerText(const SubmissionAnswer& answer, std::int32_t version);
