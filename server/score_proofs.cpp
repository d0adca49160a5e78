#include "server/score_proofs.h"

#include <sodium.h>

#include <chrono>

#include "game/replay.h"
#include "game/replay_check.h"
#include "game/rules_version.h"
#include "server/play_time_bound.h"

namespace {

std::string newTicketText() {
    unsigned char bytes[16];
    randombytes_buf(bytes, sizeof bytes);
    char hex[2 * sizeof bytes + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}

ReplayReceipt refused(ReplayReceipt::Refusal refusal, std::string reason) {
    return {std::nullopt, refusal, std::move(reason)};
}

}  // namespace

Outcome outcomeOf(const ReplayReceipt& receipt) {
    switch (receipt.refusal) {
        case ReplayReceipt::Refusal::none: return Outcome::accepted;
        case ReplayReceipt::Refusal::unreadable: return Outcome::faulty;
        case ReplayReceipt::Refusal::ticket: return Outcome::forbidden;
        case ReplayReceipt::Refusal::ticketUsed: return Outcome::conflict;
        case ReplayReceipt::Refusal::rules: return Outcome::refused;
    }
    return Outcome::refused;
}

ScoreProofs::ScoreProofs(ConnectionPool& pool, ProofSettings settings)
    : settings_(std::move(settings)), replays_(pool) {}

std::int64_t ScoreProofs::nowMs() const {
    if (settings_.clock) return settings_.clock() * 1000;
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

IssuedTicket ScoreProofs::issueTicket(std::int64_t accountId) {
    IssuedTicket issued{newTicketText(), randombytes_random(), settings_.gameId};
    replays_.addTicket({issued.ticket, accountId, issued.gameId, issued.seed, nowMs()});
    return issued;
}

ReplayReceipt ScoreProofs::receive(std::span<const std::uint8_t> bytes) {
    using Refusal = ReplayReceipt::Refusal;
    std::string error;
    std::optional<Replay> replay = decodeReplay(bytes, ReplayLimits{}, error);
    if (!replay) return refused(Refusal::unreadable, "the replay cannot be read: " + error);
    if (replay->rulesVersion != rulesVersion) {
        return refused(Refusal::rules, "rules version " + std::to_string(replay->rulesVersion) + " is not this " +
                                           "service's " + std::to_string(rulesVersion));
    }
    if (settings_.builds && !settings_.builds->contains(replay->buildChecksum, replay->buildSize)) {
        return refused(Refusal::rules, "the build is unknown");
    }
    auto ticket = replays_.ticket(replay->ticket);
    if (!ticket) return refused(Refusal::ticket, "the ticket was never issued");
    if (ticket->seed != replay->seed) return refused(Refusal::ticket, "the replay is not of its ticket's seed");
    if (ticket->used) return refused(Refusal::ticketUsed, "the ticket has been used");
    std::int64_t now = nowMs();
    if (std::int64_t{replay->frames} * msPerFrame > now - ticket->issuedAtMs + frameTimeSlackMs) {
        return refused(Refusal::rules, "more frames than the time since the ticket allows");
    }
    auto id = replays_.queueReplay(ticket->id, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), now, now / 1000);
    if (!id) return refused(Refusal::ticketUsed, "the ticket has been used");
    if (queued_) queued_();
    return {id, Refusal::none, ""};
}

bool ScoreProofs::verifyNext() {
    auto claimed = replays_.claimReplay(nowMs(), claimLeaseMs);
    if (!claimed) return false;
    std::int64_t decidedAt = nowMs() / 1000;
    std::string error;
    // Read again: the stored bytes are all that counts, whatever the
    // receiving server made of them.
    std::optional<Replay> replay = decodeReplay(claimed->replay, ReplayLimits{}, error);
    if (!replay) {
        replays_.recordRefused(claimed->id, "the replay cannot be read: " + error, decidedAt);
        return true;
    }
    ReplayVerdict verdict = verifyReplay(*replay);
    if (!verdict.proven) {
        replays_.recordRefused(claimed->id, verdict.error, decidedAt);
        return true;
    }
    replays_.recordVerified(claimed->id,
                            {verdict.score, std::int64_t{verdict.frames} * msPerFrame, replay->buildChecksum,
                             replay->buildSize},
                            decidedAt);
    return true;
}
