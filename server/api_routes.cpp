#include "server/api_routes.h"

#include <nlohmann/json.hpp>

#include <charconv>

#include "server/pages.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr char jsonType[] = "application/json; charset=utf-8";
constexpr char bytesType[] = "application/octet-stream";

HttpAnswer json(int status, const Json& value) {
    return answerWith(status, jsonType, value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

HttpAnswer error(int status, const std::string& why) { return json(status, {{"error", why}}); }

HttpAnswer unavailable() { return error(503, "the service cannot answer now; try again later"); }

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
HttpAnswer tryAnswer(Handler handler) {
    try {
        return handler();
    } catch (const SqlError&) {
        return unavailable();
    } catch (const HashingBusy&) {
        return unavailable();
    }
}

}  // namespace

HttpAnswer ticketAnswer(CompetitionService& service, std::string_view body, const std::string& clientAddress) {
    Json request = Json::parse(body, nullptr, false);
    if (request.is_discarded() || !request.is_object() || !request.contains("email") || !request.contains("password") ||
        !request["email"].is_string() || !request["password"].is_string()) {
        return error(400, "the body must be JSON {\"email\": \"...\", \"password\": \"...\"}");
    }
    return tryAnswer([&] {
        TicketRequest asked = service.requestTicket(request["email"].get<std::string>(),
                                                    request["password"].get<std::string>(), clientAddress);
        switch (asked.outcome) {
            case TicketRequest::Outcome::wrongLogin: return error(401, "wrong e-mail address or password");
            case TicketRequest::Outcome::unconfirmed:
                return error(403, "confirm the e-mail address with the link mailed to it first");
            case TicketRequest::Outcome::banned: return error(403, "the account is barred from the competition");
            case TicketRequest::Outcome::backOff: {
                HttpAnswer answer = error(429, "too many wrong passwords; try again in " + std::to_string(asked.wait) +
                                                   " seconds");
                answer.headers.emplace_back("Retry-After", std::to_string(asked.wait));
                return answer;
            }
            case TicketRequest::Outcome::issued: break;
        }
        return json(200, {{"ticket", asked.ticket.ticket}, {"seed", asked.ticket.seed}, {"game", asked.ticket.gameId}});
    });
}

HttpAnswer replaySubmissionAnswer(CompetitionService& service, std::span<const std::uint8_t> body) {
    return tryAnswer([&] {
        ReplayReceipt receipt = service.proofs().receive(body);
        if (!receipt.id) return json(refusalStatus(receipt.refusal), {{"status", "refused"}, {"reason", receipt.reason}});
        return json(202, {{"id", *receipt.id}, {"status", "pending"}});
    });
}

HttpAnswer scoreAnswer(CompetitionService& service, std::string_view rest) {
    constexpr std::string_view replaySuffix = "/replay";
    bool wantsReplay = rest.ends_with(replaySuffix);
    if (wantsReplay) rest.remove_suffix(replaySuffix.size());
    auto number = decimal(rest);
    if (!number || *number < 0) return error(404, wantsReplay ? "no such verified score" : "no such score");
    return tryAnswer([&] {
        if (wantsReplay) {
            auto replay = service.proofs().verifiedReplay(*number);
            if (!replay) return error(404, "no such verified score");
            return answerWith(200, bytesType, std::string(replay->begin(), replay->end()));
        }
        auto state = service.proofs().state(*number);
        if (!state) return error(404, "no such score");
        bool verified = state->status == ReplayStatus::verified, refused = state->status == ReplayStatus::refused;
        return json(200, {{"id", *number},
                          {"status", statusName(state->status)},
                          {"score", verified ? Json(state->score) : Json(nullptr)},
                          {"reason", refused ? Json(state->reason) : Json(nullptr)}});
    });
}

HttpAnswer topListAnswer(CompetitionService& service, std::string_view gameId, std::string_view period) {
    auto id = decimal(gameId);
    if (!id || *id < INT32_MIN || *id > INT32_MAX) return error(404, "okänt spel");
    return tryAnswer([&] {
        auto lists = service.contest().gameLists(static_cast<std::int32_t>(*id),
                                                 period.empty() ? std::nullopt : std::optional<std::string>(period));
        if (!lists) return error(404, "okänt spel eller okänd period");
        return answerWith(200, jsonType, topListJson(lists->first, lists->second));
    });
}

HttpAnswer collectiveAnswer(CompetitionService& service, std::string_view period) {
    return tryAnswer([&] {
        auto ranking = service.contest().collective(period.empty() ? std::nullopt : std::optional<std::string>(period));
        if (!ranking) return error(404, "okänd period");
        return answerWith(200, jsonType, collectiveJson(ranking->first, ranking->second));
    });
}
