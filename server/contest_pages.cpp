#include "server/contest_pages.h"

#include "server/html.h"
#include "server/pages.h"

namespace {

std::string gameName(const std::vector<GameEntry>& games, std::int32_t id) {
    for (const GameEntry& game : games) {
        if (game.id == id) return game.name;
    }
    return "Spel " + std::to_string(id);
}

std::string periodWinners(const ClosedPeriod& closed, const std::vector<GameEntry>& games) {
    std::string html = "<h2>" + htmlEscape(closed.period.name) + "</h2>\n<p>" + utcTime(closed.period.startsAt) +
                       " till " + utcTime(closed.period.endsAt) + "</p>\n";
    if (closed.winners.empty()) return html + "<p>Inga poäng registrerades under perioden.</p>\n";
    std::int32_t game = -1;
    for (const Winner& w : closed.winners) {
        if (w.gameId != game) {
            if (game != -1) html += "</table>\n";
            game = w.gameId;
            html += "<h3>" + htmlEscape(gameName(games, game)) + "</h3>\n<table class=\"vinnare\">\n"
                    "<tr><th>Plats</th><th>Smeknamn</th><th class=\"score\">Poäng</th><th>Bonuspris till</th></tr>\n";
        }
        html += "<tr><td>" + std::to_string(w.place) + "</td><td>" + htmlEscape(w.nickname) +
                "</td><td class=\"score\">" + std::to_string(w.score) + "</td><td>" + htmlEscape(w.referrer) +
                "</td></tr>\n";
    }
    return html + "</table>\n";
}

}  // namespace

std::string winnersPage(const std::vector<ClosedPeriod>& periods, const std::vector<GameEntry>& games) {
    std::string body = "<h1>Vinnare</h1>\n<p>De tio bästa i varje spel när tävlingsperioden tog slut.</p>\n";
    if (periods.empty()) body += "<p>Ingen tävlingsperiod har avslutats ännu.</p>\n";
    for (const ClosedPeriod& closed : periods) body += periodWinners(closed, games);
    return htmlPage("Vinnare", body);
}

std::string claimPage(const std::string& token, const std::optional<Winner>& winner, const PrizeClaim& sent,
                      const ClaimFaults& faults, bool done) {
    if (done) {
        return htmlPage("Ditt pris", "<h1>Tack!</h1>\n<p class=\"klart\">Vi har fått dina uppgifter och skickar "
                                     "ditt pris till adressen du angav.</p>\n");
    }
    if (!winner) {
        return htmlPage("Ditt pris", "<h1>Länken fungerar inte</h1>\n<p class=\"fel\">Länken har redan använts "
                                     "eller är okänd.</p>\n");
    }
    std::string body =
        "<h1>Grattis, " + htmlEscape(winner->nickname) + "!</h1>\n<p>Du kom på plats " +
        std::to_string(winner->place) + " med " + std::to_string(winner->score) +
        " poäng. Fyll i vart vi ska skicka ditt pris. Uppgifterna ser bara arrangören.</p>\n" + faultList(faults) +
        "<form method=\"post\" action=\"/vinst.htm\">\n<input type=\"hidden\" name=\"token\" value=\"" +
        htmlEscape(token) + "\">\n" +
        inputField("Fullständigt namn", "fullname", "text", sent.fullName, maxFullNameCharacters) +
        "<p><label for=\"address\">Postadress</label><textarea id=\"address\" name=\"address\" rows=\"4\" cols=\"40\" "
        "maxlength=\"" +
        std::to_string(maxPostalAddressCharacters) + "\" required>" + htmlEscape(sent.postalAddress) +
        "</textarea></p>\n<p><input id=\"sweden\" name=\"sweden\" type=\"checkbox\" value=\"ja\"" +
        (sent.livesInSweden ? " checked" : "") +
        "> <label for=\"sweden\" style=\"display:inline\">Jag bor i Sverige</label></p>\n"
        "<p><button type=\"submit\">Skicka</button></p>\n</form>\n";
    return htmlPage("Ditt pris", body);
}
