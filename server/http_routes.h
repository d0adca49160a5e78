#pragma once
// The service's addresses: the game's score post, the pages the game and
// its menu open, sign-up, password help, and the ten-best list as JSON.
#include <httplib.h>

#include "server/competition_service.h"

// The longest request body taken: far above any form the service knows.
inline constexpr std::size_t maxRequestBody = 16 * 1024;

// The longest answer the game reads.
inline constexpr std::size_t maxSubmissionAnswer = 16383;

void addRoutes(httplib::Server& server, CompetitionService& service);

// The first three lines of the game's answer: code, version, and the text in
// code page 1252, each ended by CR LF.
std::string submissionAnswerText(const SubmissionAnswer& answer, std::int32_t version);
