#include "server/contest_routes.h"

#include "server/contest_pages.h"
#include "server/pages.h"

namespace {

constexpr char htmlType[] = "text/html; charset=utf-8";

ApiAnswer page(int status, std::string body) { return {status, htmlType, std::move(body)}; }

}  // namespace

ApiAnswer startPageAnswer(CompetitionService& service) { return page(200, startPage(*service.contest().view())); }

ApiAnswer winnersPageAnswer(CompetitionService& service) {
    ContestService& contest = service.contest();
    return page(200, winnersPage(contest.closedPeriods(), contest.store().games()));
}

ApiAnswer claimFormAnswer(CompetitionService& service, const std::string& token) {
    auto winner = service.contest().claimable(token);
    return page(winner ? 200 : 410, claimPage(token, winner, {}, {}, false));
}

ApiAnswer claimAnswer(CompetitionService& service, const std::string& token, const PrizeClaim& claim) {
    auto winner = service.contest().claimable(token);
    if (!winner) return page(410, claimPage(token, winner, claim, {}, false));
    ClaimFaults faults = service.contest().claim(token, claim);
    if (faults.empty()) return page(200, claimPage(token, winner, claim, {}, true));
    return page(400, claimPage(token, winner, claim, faults, false));
}
