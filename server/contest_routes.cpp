#include "server/contest_routes.h"

#include "server/contest_pages.h"
#include "server/html.h"
#include "server/outbox.h"
#include "server/pages.h"

namespace {

Html unsubscribedPage(Outcome outcome) {
    if (outcome == Outcome::done) {
        return htmlPage("Nyheter från Kvippa",
                        Template("<h1>Klart</h1>\n<p class=\"klart\">Du får inga fler nyheter från Kvippa.</p>\n")
                            .render());
    }
    return htmlPage("Nyheter från Kvippa", Template("<h1>Länken fungerar inte</h1>\n<p>Prenumerationen är redan "
                                                    "avslutad, eller så är länken okänd.</p>\n")
                                               .render());
}

}  // namespace

HttpAnswer startPageAnswer(CompetitionService& service) {
    return pageAnswer(Outcome::done,
                      startPage(*service.contest().view(), siteHost(service.site()), service.webGame().has_value()));
}

HttpAnswer winnersPageAnswer(CompetitionService& service) {
    ContestService& contest = service.contest();
    return pageAnswer(Outcome::done, winnersPage(contest.closedPeriods(), contest.store().games()));
}

HttpAnswer claimFormAnswer(CompetitionService& service, const std::string& token) {
    auto winner = service.contest().claimable(token);
    return pageAnswer(winner ? Outcome::done : Outcome::gone, claimPage(token, winner, {}, {}, false));
}

HttpAnswer claimAnswer(CompetitionService& service, const std::string& token, const PrizeClaim& claim) {
    auto winner = service.contest().claimable(token);
    if (!winner) return pageAnswer(Outcome::gone, claimPage(token, winner, claim, {}, false));
    FormOutcome claimed = service.contest().claim(token, claim);
    switch (claimed.outcome) {
        case Outcome::done: return pageAnswer(claimed.outcome, claimPage(token, winner, claim, {}, true));
        case Outcome::gone: return pageAnswer(claimed.outcome, claimPage(token, std::nullopt, claim, {}, false));
        default: return pageAnswer(claimed.outcome, claimPage(token, winner, claim, claimed.faults, false));
    }
}

// A link scanner that fetches the link changes nothing: the page asks for
// the one click.
HttpAnswer unsubscribeFormAnswer(CompetitionService& service, const std::string& token) {
    if (Outcome subscription = service.news().subscription(token); subscription != Outcome::done) {
        return pageAnswer(subscription, unsubscribedPage(subscription));
    }
    return pageAnswer(Outcome::done,
                      htmlPage("Nyheter från Kvippa",
                               Template("<h1>Sluta få nyheter?</h1>\n<form method=\"post\" "
                                        "action=\"/avsluta.htm?token={{token}}\">\n<p><button type=\"submit\">Ja, "
                                        "skicka inga fler nyheter</button></p>\n</form>\n")
                                   .set("token", token)
                                   .render()));
}

HttpAnswer unsubscribeAnswer(CompetitionService& service, const std::string& token) {
    Outcome unsubscribed = service.news().unsubscribe(token);
    return pageAnswer(unsubscribed, unsubscribedPage(unsubscribed));
}
