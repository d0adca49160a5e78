#pragma once
// The answers of the service's JSON interface: tickets, replays sent on
// them and their verdicts, and the ten-best list. Each is a function of the
// request's parts; competitionRoutes (http_routes.h) gives them addresses.
//
//   POST /api/v1/games          {"email":..,"password":..} -> 200 {"ticket":..,"seed":..,"game":4}
//   POST /api/v1/scores         the replay's bytes          -> 202 {"id":..,"status":"pending"}
//   GET  /api/v1/scores/ID                                  -> 200 {"id":..,"status":..,"score":..,"reason":..}
//   GET  /api/v1/scores/ID/replay                           -> 200 the verified replay's bytes
//   GET  /api/top?gameid=N[&period=NAME]                    -> 200 {"gameid":N,"period":..,"top":[...],"alltime":[...]}
//   GET  /api/collective[?period=NAME]                      -> 200 {"period":..,"ranking":[...]}
#include <span>
#include <string>
#include <string_view>

#include "server/competition_service.h"
#include "server/http_exchange.h"

HttpAnswer ticketAnswer(CompetitionService& service, std::string_view body, const std::string& clientAddress);
HttpAnswer replaySubmissionAnswer(CompetitionService& service, std::span<const std::uint8_t> body);
// `id` is the score's, as the address has it.
HttpAnswer scoreAnswer(CompetitionService& service, std::string_view id);
HttpAnswer verifiedReplayAnswer(CompetitionService& service, std::string_view id);
// The period's (none: the current one) and all time's lists of a game.
HttpAnswer topListAnswer(CompetitionService& service, std::string_view gameId, std::string_view period);
// The period's (none: the current one) collective ranking.
HttpAnswer collectiveAnswer(CompetitionService& service, std::string_view period);
