#pragma once
// The service's addresses: the game's score post, the pages the game and
// its menu open, sign-up, password help, the ten-best list as JSON and the
// game for download.
#include "server/competition_service.h"
#include "server/route_table.h"

// The longest answer the game reads.
inline constexpr std::size_t maxSubmissionAnswer = 16383;

RouteTable competitionRoutes(CompetitionService& service);

// The first three lines of the game's answer: code, version, and the text in
// code page 1252, each ended by CR LF.
std::string submissionAnswerText(const SubmissionAnswer& answer, std::int32_t version);
