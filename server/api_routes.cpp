#include "server/api_routes.h"

#include <nlohmann/json.hpp>

#include <charconv>

#include "server/pages.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr char jsonType[] = "application/json; charset=utf-8";
constexpr char bytesType[] = "application/octet-stream";

HttpAnswer json(Outcome outcome, const Json& value) {
    return answerWith(httpStatus(outcome), jsonType, value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

HttpAnswer error(Outcome outcome, const std::string& why) { return json(outcome, {{"error", why}}); }

HttpAnswer unavailable() { return error(Outcome::busy, "the service cannot answer now; try again later"); }

std::optional<std::int64_t> decimal(std::string_view text) {
    std::int64_t value = 0;
    auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || fault != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A score's id in an address: a whole number, not negative.
std::optional<std::int64_t> scoreId(std::string_view text) {
    auto number = decimal(text);
    if (!number || *number < 0) return std::nullopt;
    return number;
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
        return error(Outcome::faulty, "the body must be JSON {\"email\": \"...\", \"password\": \"...\"}");
    }
    return tryAnswer([&] {
        TicketRequest asked = service.requestTicket(request["email"].get<std::string>(),
                                                    request["password"].get<std::string>(), clientAddress);
        Outcome outcome = outcomeOf(asked);
        switch (asked.outcome) {
            case TicketRequest::Outcome::wrongLogin: return error(outcome, "wrong e-mail address or password");
            case TicketRequest::Outcome::unconfirmed:
                return error(outcome, "confirm the e-mail address with the link mailed to it first");
            case TicketRequest::Outcome::banned: return error(outcome, "the account is barred from the competition");
            case TicketRequest::Outcome::backOff: {
                HttpAnswer answer = error(outcome, "too many wrong passwords; try again in " +
                                                       std::to_string(asked.wait) + " seconds");
                answer.headers.emplace_back("Retry-After", std::to_string(asked.wait));
                return answer;
            }
            case TicketRequest::Outcome::issued: break;
        }
        return json(outcome,
                    {{"ticket", asked.ticket.ticket}, {"seed", asked.ticket.seed}, {"game", asked.ticket.gameId}});
    });
}

HttpAnswer replaySubmissionAnswer(CompetitionService& service, std::span<const std::uint8_t> body) {
    return tryAnswer([&] {
        ReplayReceipt receipt = service.proofs().receive(body);
        Outcome outcome = outcomeOf(receipt);
        if (!receipt.id) return json(outcome, {{"status", "refused"}, {"reason", receipt.reason}});
        return json(outcome, {{"id", *receipt.id}, {"status", "pending"}});
    });
}

HttpAnswer scoreAnswer(CompetitionService& service, std::string_view id) {
    auto number = scoreId(id);
    if (!number) return error(Outcome::notFound, "no such score");
    return tryAnswer([&] {
        auto state = service.proofs().state(*number);
        if (!state) return error(Outcome::notFound, "no such score");
        bool verified = state->status == ReplayStatus::verified, refused = state->status == ReplayStatus::refused;
        return json(Outcome::done, {{"id", *number},
                                    {"status", statusName(state->status)},
                                    {"score", verified ? Json(state->score) : Json(nullptr)},
                                    {"reason", refused ? Json(state->reason) : Json(nullptr)}});
    });
}

HttpAnswer verifiedReplayAnswer(CompetitionService& service, std::string_view id) {
    auto number = scoreId(id);
    if (!number) return error(Outcome::notFound, "no such verified score");
    return tryAnswer([&] {
        auto replay = service.proofs().verifiedReplay(*number);
        if (!replay) return error(Outcome::notFound, "no such verified score");
        return answerWith(httpStatus(Outcome::done), bytesType, std::string(replay->begin(), replay->end()));
    });
}

HttpAnswer topListAnswer(CompetitionService& service, std::string_view gameId, std::string_view period) {
    auto id = decimal(gameId);
    if (!id || *id < INT32_MIN || *id > INT32_MAX) return error(Outcome::notFound, "okänt spel");
    return tryAnswer([&] {
        GameListsAnswer lists = service.contest().gameLists(
            static_cast<std::int32_t>(*id), period.empty() ? std::nullopt : std::optional<std::string>(period));
        if (lists.outcome != Outcome::done) return error(lists.outcome, "okänt spel eller okänd period");
        return answerWith(httpStatus(lists.outcome), jsonType, topListJson(lists.period, lists.lists));
    });
}

HttpAnswer collectiveAnswer(CompetitionService& service, std::string_view period) {
    return tryAnswer([&] {
        CollectiveAnswer ranking =
            service.contest().collective(period.empty() ? std::nullopt : std::optional<std::string>(period));
        if (ranking.outcome != Outcome::done) return error(ranking.outcome, "okänd period");
        return answerWith(httpStatus(ranking.outcome), jsonType, collectiveJson(ranking.period, ranking.ranking));
    });
}
