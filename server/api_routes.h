#pragma once
// The answers of the service's JSON interface: tickets, replays sent on
// them and their verdicts, and the ten-best list. Each is a function of the
// request's parts; competitionRoutes (http_routes.h) gives them addresses.
//
//   POST /api/v1/games          {"email":..,"password":..} -> 200 {"ticket":..,"seed":..,"game":4}
//   POST /api/v1/scores         the replay's bytes          -> 202 {"id":..,"status":"pending"}
//   GET  /api/v1/scores/ID                                  -> 200 {"id":..,"status":..,"score":..,"reason":..}
//   GET  /api/v1/scores/ID/replay                           -> 200 the verified replay's bytes
//   GET  /api/top?gameid=N                                  -> 200 {"gameid":N,"top":[...]}
#include <span>
#include <string>
#include <string_view>

#include "server/competition_service.h"
#include "server/http_exchange.h"

HttpAnswer ticketAnswer(CompetitionService& service, std::string_view body, const std::string& clientAddress);
HttpAnswer replaySubmissionAnswer(CompetitionService& service, std::span<const std::uint8_t> body);
// `rest` is what follows "/api/v1/scores/": "ID" or "ID/replay".
HttpAnswer scoreAnswer(CompetitionService& service, std::string_view rest);
HttpAnswer topListAnswer(CompetitionService& service, std::string_view gameId);
