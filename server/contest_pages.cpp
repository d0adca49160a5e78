#include "server/contest_pages.h"

#include <algorithm>
#include <span>

#include "server/html.h"
#include "server/pages.h"

namespace {

std::string gameName(const std::vector<GameEntry>& games, std::int32_t id) {
    for (const GameEntry& game : games) {
        if (game.id == id) return game.name;
    }
    return "Spel " + std::to_string(id);
}

Html winnerRow(const Winner& w) {
    return Template("<tr><td>{{place}}</td><td>{{nickname}}</td><td class=\"score\">{{score}}</td><td>{{referrer}}</td>"
                    "</tr>\n")
        .set("place", w.place)
        .set("nickname", w.nickname)
        .set("score", w.score)
        .set("referrer", w.referrer)
        .render();
}

// The winners come game by game; each game gets its own table.
Html gameTables(const std::vector<Winner>& winners, const std::vector<GameEntry>& games) {
    Html html;
    for (auto first = winners.begin(); first != winners.end();) {
        auto next = std::find_if(first, winners.end(), [first](const Winner& w) { return w.gameId != first->gameId; });
        html += Template("<h3>{{game}}</h3>\n<table class=\"vinnare\">\n<tr><th>Plats</th><th>Smeknamn</th>"
                         "<th class=\"score\">Poäng</th><th>Bonuspris till</th></tr>\n{{rows}}</table>\n")
                    .set("game", gameName(games, first->gameId))
                    .set("rows", joined(std::span<const Winner>(first, next), winnerRow))
                    .render();
        first = next;
    }
    return html;
}

Html periodWinners(const ClosedPeriod& closed, const std::vector<GameEntry>& games) {
    return Template("<h2>{{name}}</h2>\n<p>{{start}} till {{end}}</p>\n{{winners}}")
        .set("name", closed.period.name)
        .set("start", utcTime(closed.period.startsAt))
        .set("end", utcTime(closed.period.endsAt))
        .set("winners", closed.winners.empty()
                            ? Template("<p>Inga poäng registrerades under perioden.</p>\n").render()
                            : gameTables(closed.winners, games))
        .render();
}

}  // namespace

Html winnersPage(const std::vector<ClosedPeriod>& periods, const std::vector<GameEntry>& games) {
    return htmlPage("Vinnare",
                    Template("<h1>Vinnare</h1>\n<p>De tio bästa i varje spel när tävlingsperioden tog slut.</p>\n"
                             "{{none}}{{periods}}")
                        .set("none", periods.empty()
                                         ? Template("<p>Ingen tävlingsperiod har avslutats ännu.</p>\n").render()
                                         : Html())
                        .set("periods", joined(periods, [&games](const ClosedPeriod& closed) {
                                 return periodWinners(closed, games);
                             }))
                        .render());
}

Html claimPage(const std::string& token, const std::optional<Winner>& winner, const PrizeClaim& sent,
               const ClaimFaults& faults, bool done) {
    if (done) {
        return htmlPage("Ditt pris", Template("<h1>Tack!</h1>\n<p class=\"klart\">Vi har fått dina uppgifter och "
                                              "skickar ditt pris till adressen du angav.</p>\n")
                                         .render());
    }
    if (!winner) {
        return htmlPage("Ditt pris", Template("<h1>Länken fungerar inte</h1>\n<p class=\"fel\">Länken har redan "
                                              "använts eller är okänd.</p>\n")
                                         .render());
    }
    Html body =
        Template("<h1>Grattis, {{nickname}}!</h1>\n<p>Du kom på plats {{place}} med {{score}} poäng. Fyll i vart vi "
                 "ska skicka ditt pris. Uppgifterna ser bara arrangören.</p>\n{{faults}}"
                 "<form method=\"post\" action=\"/vinst.htm\">\n<input type=\"hidden\" name=\"token\" "
                 "value=\"{{token}}\">\n{{fullName}}"
                 "<p><label for=\"address\">Postadress</label><textarea id=\"address\" name=\"address\" rows=\"4\" "
                 "cols=\"40\" maxlength=\"{{addressLength}}\" required>{{address}}</textarea></p>\n{{sweden}}"
                 "<p><button type=\"submit\">Skicka</button></p>\n</form>\n")
            .set("nickname", winner->nickname)
            .set("place", winner->place)
            .set("score", winner->score)
            .set("faults", faultList(faults))
            .set("token", token)
            .set("fullName", inputField("Fullständigt namn", "fullname", "text", sent.fullName, maxFullNameCharacters))
            .set("addressLength", maxPostalAddressCharacters)
            .set("address", sent.postalAddress)
            .set("sweden", checkboxField("Jag bor i Sverige", "sweden", sent.livesInSweden))
            .render();
    return htmlPage("Ditt pris", body);
}
