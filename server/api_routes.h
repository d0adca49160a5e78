#pragma once
// The service's JSON interface: tickets, replays sent on them and their
// verdicts, and the ten-best list. Each address is a function of the
// request's parts to an answer, so that only addApiRoutes knows the HTTP
// library.
//
//   POST /api/v1/games          {"email":..,"password":..} -> 200 {"ticket":..,"seed":..,"game":4}
//   POST /api/v1/scores         the replay's bytes          -> 202 {"id":..,"status":"pending"}
//   GET  /api/v1/scores/ID                                  -> 200 {"id":..,"status":..,"score":..,"reason":..}
//   GET  /api/v1/scores/ID/replay                           -> 200 the verified replay's bytes
//   GET  /api/top?gameid=N                                  -> 200 {"gameid":N,"top":[...]}
#include <httplib.h>

#include <span>
#include <string>
#include <string_view>

#include "server/competition_service.h"

struct ApiAnswer {
    int status = 200;
    std::string contentType;
    std::string body;
};

ApiAnswer ticketAnswer(CompetitionService& service, std::string_view body);
ApiAnswer replaySubmissionAnswer(CompetitionService& service, std::span<const std::uint8_t> body);
ApiAnswer scoreStateAnswer(CompetitionService& service, std::string_view id);
ApiAnswer replayDownloadAnswer(CompetitionService& service, std::string_view id);
ApiAnswer topListAnswer(CompetitionService& service, std::string_view gameId);

void addApiRoutes(httplib::Server& server, CompetitionService& service);
