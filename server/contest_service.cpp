#include "server/contest_service.h"

#include <cstdio>
#include <ctime>
#include <exception>

#include "server/text_encoding.h"
#include "server/tokens.h"

ContestService::ContestService(ConnectionPool& pool, ContestSettings settings, SendMail mail)
    : settings_(std::move(settings)), store_(pool), mail_(std::move(mail)) {}

std::int64_t ContestService::now() const {
    return settings_.clock ? settings_.clock() : static_cast<std::int64_t>(std::time(nullptr));
}

std::optional<ContestView> ContestService::view(const std::optional<std::string>& periodName) {
    ContestView view;
    view.period = periodName ? store_.period(*periodName) : store_.periodAt(now());
    if (periodName && !view.period) return std::nullopt;
    for (const GameEntry& game : store_.currentGames()) {
        GameLists lists{game, {}, store_.topTen(game.id, {settings_.listed, std::nullopt})};
        if (view.period) lists.period = store_.topTen(game.id, {settings_.listed, view.period->id});
        view.games.push_back(std::move(lists));
    }
    if (view.period) view.collective = store_.collectiveTopTen(view.period->id, settings_.listed);
    return view;
}

CollectiveAnswer ContestService::collective(const std::optional<std::string>& periodName) {
    std::optional<Period> period = periodName ? store_.period(*periodName) : store_.periodAt(now());
    if (periodName && !period) return {Outcome::notFound, std::nullopt, {}};
    CollectiveAnswer answer{Outcome::done, period, {}};
    if (period) answer.ranking = store_.collectiveTopTen(period->id, settings_.listed);
    return answer;
}

GameListsAnswer ContestService::gameLists(std::int32_t gameId, const std::optional<std::string>& periodName) {
    auto game = store_.game(gameId);
    if (!game) return {Outcome::notFound, std::nullopt, {}};
    std::optional<Period> period = periodName ? store_.period(*periodName) : store_.periodAt(now());
    if (periodName && !period) return {Outcome::notFound, std::nullopt, {}};
    GameListsAnswer answer{Outcome::done, period, {*game, {}, store_.topTen(gameId, {settings_.listed, std::nullopt})}};
    if (period) answer.lists.period = store_.topTen(gameId, {settings_.listed, period->id});
    return answer;
}

int ContestService::closeEndedPeriods() {
    int closed = 0;
    for (const Period& period : store_.endedOpenPeriods(now())) {
        if (closePeriod(period, std::nullopt)) ++closed;
    }
    return closed;
}

std::optional<std::vector<Winner>> ContestService::closePeriod(const Period& period,
                                                              const std::optional<AuditNote>& note) {
    auto frozen = store_.closePeriod(period.id, now(), settings_.listed, note);
    if (!frozen) return std::nullopt;
    std::vector<Winner> winners;
    for (const NewWinner& w : *frozen) {
        // The winners are stored; a mail that cannot be written is told
        // in the log, and the organiser still has them (admin winners).
        try {
            if (!w.email.empty()) mailWinner(w, period);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "zifra-server: the mail to the winner %s of %s: %s\n", w.winner.nickname.c_str(),
                         period.name.c_str(), error.what());
        }
        winners.push_back(w.winner);
    }
    return winners;
}

void ContestService::mailWinner(const NewWinner& w, const Period& period) {
    auto game = store_.game(w.winner.gameId);
    MailMessage message;
    message.from = serviceSender(settings_.site);
    message.to = w.email;
    message.subject = "Du har vunnit i Kvippas tävling!";
    message.body = "Hej " + w.winner.nickname +
                   "!\n\n"
                   "Grattis! Du kom på plats " +
                   std::to_string(w.winner.place) + " i " + (game ? game->name : "spelet") +
                   " under tävlingsperioden " + period.name + " med " + std::to_string(w.winner.score) +
                   " poäng.\n\n"
                   "Fyll i ditt fullständiga namn och din postadress här, så skickar vi ditt pris:\n\n" +
                   settings_.site + "/vinst.htm?token=" + w.claimToken +
                   "\n\n"
                   "Bara den som bor i Sverige och har lämnat riktiga uppgifter deltar. "
                   "Eventuell vinstskatt betalas av vinnaren.\n";
    mail_(message, static_cast<std::time_t>(now()));
}

std::vector<ClosedPeriod> ContestService::closedPeriods() {
    std::vector<ClosedPeriod> closed;
    auto periods = store_.periods();
    for (auto p = periods.rbegin(); p != periods.rend(); ++p) {
        if (p->closedAt) closed.push_back({*p, store_.winners(p->id)});
    }
    return closed;
}

std::optional<Winner> ContestService::claimable(const std::string& token) {
    return store_.winnerOfToken(tokenHash(token));
}

FormOutcome ContestService::claim(const std::string& token, const PrizeClaim& sent) {
    ClaimFaults faults;
    PrizeClaim claim{trimmed(sent.fullName), trimmed(sent.postalAddress), sent.livesInSweden};
    if (claim.fullName.empty() || !isPrintableUtf8(claim.fullName) ||
        characterCount(claim.fullName) > maxFullNameCharacters) {
        faults.push_back("Ange ditt fullständiga namn, högst " + std::to_string(maxFullNameCharacters) + " tecken.");
    }
    // An address runs over several lines.
    std::string oneLine = claim.postalAddress;
    for (char& c : oneLine) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    if (claim.postalAddress.empty() || !isPrintableUtf8(oneLine) ||
        characterCount(claim.postalAddress) > maxPostalAddressCharacters) {
        faults.push_back("Ange din postadress, högst " + std::to_string(maxPostalAddressCharacters) + " tecken.");
    }
    if (!claim.livesInSweden) faults.push_back("Bara den som bor i Sverige kan vinna. Bekräfta att du bor i Sverige.");
    if (!faults.empty()) return FormOutcome::with(std::move(faults));
    if (!store_.claimPrize(tokenHash(token), claim, now())) {
        return {Outcome::gone, {"Länken har redan använts eller fungerar inte."}};
    }
    return {};
}

