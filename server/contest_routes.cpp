#include "server/contest_routes.h"

#include "server/contest_pages.h"
#include "server/html.h"
#include "server/outbox.h"
#include "server/pages.h"

namespace {

constexpr char htmlType[] = "text/html; charset=utf-8";

HttpAnswer page(int status, const Html& body) { return answerWith(status, htmlType, body.markup()); }

Html unsubscribedPage(bool done) {
    if (done) {
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
    return page(200, startPage(*service.contest().view(), siteHost(service.site()), service.webGame().has_value()));
}

HttpAnswer winnersPageAnswer(CompetitionService& service) {
    ContestService& contest = service.contest();
    return page(200, winnersPage(contest.closedPeriods(), contest.store().games()));
}

HttpAnswer claimFormAnswer(CompetitionService& service, const std::string& token) {
    auto winner = service.contest().claimable(token);
    return page(winner ? 200 : 410, claimPage(token, winner, {}, {}, false));
}

HttpAnswer claimAnswer(CompetitionService& service, const std::string& token, const PrizeClaim& claim) {
    auto winner = service.contest().claimable(token);
    if (!winner) return page(410, claimPage(token, winner, claim, {}, false));
    ClaimFaults faults = service.contest().claim(token, claim);
    if (faults.empty()) return page(200, claimPage(token, winner, claim, {}, true));
    return page(400, claimPage(token, winner, claim, faults, false));
}

// A link scanner that fetches the link changes nothing: the page asks for
// the one click.
HttpAnswer unsubscribeFormAnswer(CompetitionService& service, const std::string& token) {
    if (!service.news().subscribed(token)) return page(410, unsubscribedPage(false));
    return page(200, htmlPage("Nyheter från Kvippa",
                              Template("<h1>Sluta få nyheter?</h1>\n<form method=\"post\" "
                                       "action=\"/avsluta.htm?token={{token}}\">\n<p><button type=\"submit\">Ja, skicka "
                                       "inga fler nyheter</button></p>\n</form>\n")
                                  .set("token", token)
                                  .render()));
}

HttpAnswer unsubscribeAnswer(CompetitionService& service, const std::string& token) {
    bool known = service.news().unsubscribe(token);
    return page(known ? 200 : 410, unsubscribedPage(known));
}
