#pragma once
// The competition's own pages: the winners of every closed period, and the
// form on which a winner claims the prize.
#include <string>
#include <vector>

#include "server/contest_service.h"
#include "server/html_template.h"

// "/vinnare.htm": every closed period's winners by nickname, game by game.
Html winnersPage(const std::vector<ClosedPeriod>& periods, const std::vector<GameEntry>& games);

// "/vinst.htm?token=...": the claim form for the winner, filled again with
// what was sent and its faults; `done` thanks instead; no winner: the link
// is used or unknown.
Html claimPage(const std::string& token, const std::optional<Winner>& winner, const PrizeClaim& sent,
               const ClaimFaults& faults, bool done);
