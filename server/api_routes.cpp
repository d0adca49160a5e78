#include "server/api_routes.h"

#include <nlohmann/json.hpp>

#include <charconv>

#include "server/pages.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr char jsonType[] = "application/json; charset=utf-8";
constexpr char bytesType[] = "application/octet-stream";

ApiAnswer json(int status, const Json& value) {
    return {status, jsonType, value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n"};
}

ApiAnswer error(int status, const std::string& why) { return json(status, {{"error", why}}); }

ApiAnswer unavailable() { return error(503, "the service cannot answer now; try again later"); }

std::optional<std::int64_t> decimal(std::string_view text) {
    std::int64_t value = 0;
    auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || fault != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int refusalStatus(ReplayReceipt::Refusal refusal) {
    switch (refusal) {
        case ReplayReceipt::Refusal::unreadable: return 400;
        case ReplayReceipt::Refusal::ticket: return 403;
        case ReplayReceipt::Refusal::ticketUsed: return 409;
        default: return 422;
    }
}

const char* statusName(ReplayStatus status) {
    switch (status) {
        case ReplayStatus::verified: return "verified";
        case ReplayStatus::refused: return "refused";
        default: return "pending";
    }
}

// The handlers' own faults of the database and the hashing are "try again
// later"; any other fault is the HTTP layer's to report.
template <typename Handler>
ApiAnswer tryAnswer(Handler handler) {
    try {
        return handler();
    } catch (const SqlError&) {
        return unavailable();
    } catch (const HashingBusy&) {
        return unavailable();
    }
}

void send(httplib::Response& res, const ApiAnswer& answer) {
    res.status = answer.status;
    res.set_content(answer.body, answer.contentType);
}

}  // namespace

ApiAnswer ticketAnswer(CompetitionService& service, std::string_view body) {
    Json request = Json::parse(body, nullptr, false);
    if (request.is_discarded() || !request.is_object() || !request.contains("email") || !request.contains("password") ||
        !request["email"].is_string() || !request["password"].is_string()) {
        return error(400, "the body must be JSON {\"email\": \"...\", \"password\": \"...\"}");
    }
    return tryAnswer([&] {
        auto ticket = service.proofs().issueTicket(request["email"].get<std::string>(),
                                                   request["password"].get<std::string>());
        if (!ticket) return error(401, "wrong e-mail address or password");
        return json(200, {{"ticket", ticket->ticket}, {"seed", ticket->seed}, {"game", ticket->gameId}});
    });
}

ApiAnswer replaySubmissionAnswer(CompetitionService& service, std::span<const std::uint8_t> body) {
    return tryAnswer([&] {
        ReplayReceipt receipt = service.proofs().receive(body);
        if (!receipt.id) return json(refusalStatus(receipt.refusal), {{"status", "refused"}, {"reason", receipt.reason}});
        return json(202, {{"id", *receipt.id}, {"status", "pending"}});
    });
}

ApiAnswer scoreStateAnswer(CompetitionService& service, std::string_view id) {
    auto number = decimal(id);
    if (!number) return error(404, "no such score");
    return tryAnswer([&] {
        auto state = service.proofs().state(*number);
        if (!state) return error(404, "no such score");
        bool verified = state->status == ReplayStatus::verified, refused = state->status == ReplayStatus::refused;
        return json(200, {{"id", *number},
                          {"status", statusName(state->status)},
                          {"score", verified ? Json(state->score) : Json(nullptr)},
                          {"reason", refused ? Json(state->reason) : Json(nullptr)}});
    });
}

ApiAnswer replayDownloadAnswer(CompetitionService& service, std::string_view id) {
    auto number = decimal(id);
    if (!number) return error(404, "no such verified score");
    return tryAnswer([&] {
        auto replay = service.proofs().verifiedReplay(*number);
        if (!replay) return error(404, "no such verified score");
        return ApiAnswer{200, bytesType, std::string(replay->begin(), replay->end())};
    });
}

ApiAnswer topListAnswer(CompetitionService& service, std::string_view gameId) {
    auto id = decimal(gameId);
    if (!id || *id < INT32_MIN || *id > INT32_MAX || !findGame(static_cast<std::int32_t>(*id))) {
        return error(404, "okänt spel");
    }
    auto game = static_cast<std::int32_t>(*id);
    return {200, jsonType, topListJson(game, service.topTen(game))};
}

void addApiRoutes(httplib::Server& server, CompetitionService& service) {
    server.Post("/api/v1/games", [&service](const httplib::Request& req, httplib::Response& res) {
        send(res, ticketAnswer(service, req.body));
    });
    server.Post("/api/v1/scores", [&service](const httplib::Request& req, httplib::Response& res) {
        auto bytes = reinterpret_cast<const std::uint8_t*>(req.body.data());
        send(res, replaySubmissionAnswer(service, std::span(bytes, req.body.size())));
    });
    server.Get(R"(/api/v1/scores/(\d+))", [&service](const httplib::Request& req, httplib::Response& res) {
        send(res, scoreStateAnswer(service, req.matches[1].str()));
    });
    server.Get(R"(/api/v1/scores/(\d+)/replay)", [&service](const httplib::Request& req, httplib::Response& res) {
        send(res, replayDownloadAnswer(service, req.matches[1].str()));
    });
    server.Get("/api/top", [&service](const httplib::Request& req, httplib::Response& res) {
        send(res, topListAnswer(service, req.get_param_value("gameid")));
    });
}
