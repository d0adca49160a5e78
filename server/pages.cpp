#include "server/pages.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ctime>

#include "net/kvippa_texts.h"
#include "server/html.h"
#include "server/web_game_files.h"

namespace {

constexpr char downloadAddress[] = "/download/zifra.exe";
// Marks a score the service has proven by playing its replay again.
const std::string verifiedMark = "✓";

// The label of a new password's field.
std::string passwordLabel(const char* what) {
    return std::string(what) + " (" + std::to_string(minPasswordCharacters) + " till " +
           std::to_string(maxPasswordLength) + " tecken)";
}

// A ten-best list; the id tells the lists apart for whoever reads the page.
Html topTable(const std::vector<Placing>& placings, const std::string& id) {
    if (placings.empty()) return Template("<p>Inga poäng är registrerade ännu. Bli den första!</p>\n").render();
    int rank = 0;
    Html rows = joined(placings, [&rank](const Placing& p) {
        return Template("<tr><td>{{rank}}</td><td>{{nickname}}</td><td class=\"score\">{{score}}</td><td>{{date}}</td>"
                        "<td class=\"bevis\">{{verified}}</td></tr>\n")
            .set("rank", ++rank)
            .set("nickname", p.nickname)
            .set("score", p.score)
            .set("date", calendarDate(p.achievedAt))
            .set("verified", p.verified ? verifiedMark : "")
            .render();
    });
    return Template("<table class=\"topplista\" id=\"{{id}}\">\n<tr><th>Plats</th><th>Smeknamn</th>"
                    "<th class=\"score\">Poäng</th><th>Datum</th><th>Bevisad</th></tr>\n{{rows}}</table>\n")
        .set("id", id)
        .set("rows", rows)
        .render();
}

Html gameSection(const GameLists& lists, bool inPeriod) {
    std::string id = std::to_string(lists.game.id);
    Html period = inPeriod ? Template("<h3>Tävlingsperioden</h3>\n{{list}}").set("list", topTable(lists.period, "period-" + id)).render()
                           : Html();
    return Template("<h2>{{name}}</h2>\n{{period}}<h3>Genom tiderna</h3>\n{{allTime}}")
        .set("name", lists.game.name)
        .set("period", period)
        .set("allTime", topTable(lists.allTime, "topp-" + id))
        .render();
}

// One of the game's own texts: its title line a heading, each paragraph a
// paragraph, the site's name where the game names it.
Html gameText(std::string_view text, std::string_view siteName) {
    Html html;
    for (std::size_t start = 0, index = 0; start < text.size(); ++index) {
        std::size_t end = std::min(text.find("\n\n", start), text.size());
        std::string part(text.substr(start, end - start));
        while (!part.empty() && part.back() == '\n') part.pop_back();
        std::size_t site = part.find("@SITE@");
        if (site != std::string::npos) part.replace(site, 6, siteName);
        html += (index == 0 ? Template("<h2>{{part}}</h2>\n") : Template("<p>{{part}}</p>\n")).set("part", part).render();
        start = end + 2;
    }
    return html;
}

Html collectiveSection(const std::vector<CollectivePlacing>& list) {
    Html ranking = Template("<p>Ingen har spelat alla aktuella spel under perioden ännu.</p>\n").render();
    if (!list.empty()) {
        int rank = 0;
        ranking = Template("<table class=\"topplista\" id=\"gemensam\">\n<tr><th>Plats</th><th>Smeknamn</th>"
                           "<th class=\"score\">Sammanlagt</th></tr>\n{{rows}}</table>\n")
                      .set("rows", joined(list, [&rank](const CollectivePlacing& p) {
                               return Template("<tr><td>{{rank}}</td><td>{{nickname}}</td><td "
                                               "class=\"score\">{{total}}</td></tr>\n")
                                   .set("rank", ++rank)
                                   .set("nickname", p.nickname)
                                   .set("total", p.total)
                                   .render();
                           }))
                      .render();
    }
    return Template("<h2>Den gemensamma tävlingen</h2>\n<p>I den gemensamma tävlingen rankas alla som har spelat "
                    "samtliga aktuella Kvippaspel efter sina sammanlagda poäng.</p>\n{{ranking}}")
        .set("ranking", ranking)
        .render();
}

}  // namespace

std::string utcTime(std::int64_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

Html startPage(const ContestView& view, std::string_view siteName, bool webGame) {
    Html period = view.period ? Template("<p class=\"period\">Tävlingsperiod: <strong>{{name}}</strong>, slutar "
                                         "{{end}}.</p>\n")
                                    .set("name", view.period->name)
                                    .set("end", utcTime(view.period->endsAt))
                                    .render()
                              : Template("<p class=\"period\">Ingen tävlingsperiod pågår just nu.</p>\n").render();
    Html games = joined(view.games, [&view](const GameLists& lists) { return gameSection(lists, view.period.has_value()); });
    Html explanation;
    if (!view.games.empty()) {
        explanation = Template("<p class=\"forklaring\">{{mark}} = bevisad poäng: tjänsten har själv spelat om "
                               "partiet och fått samma poäng.</p>\n")
                          .set("mark", verifiedMark)
                          .render();
    }
    Html browserGame;
    if (webGame) {
        browserGame = Template("<p><a href=\"{{address}}\">Spela i webbläsaren</a>: samma spel, och poängen hamnar i "
                               "samma topplista.</p>\n")
                          .set("address", webGameAddress)
                          .render();
    }
    Html body = Template("<h1>Kvippa – tävla med dina spel</h1>\n"
                         "<p>Här jämför du ditt resultat med andras. Varje spel har tio vinnare: de tio bästa när "
                         "tävlingsperioden är slut. <a href=\"/vinnare.htm\">Tidigare vinnare</a></p>\n"
                         "{{period}}{{games}}{{collective}}{{explanation}}{{rules}}"
                         "<p><a href=\"/reg3.htm\">Bli medlem här</a> för att registrera dina poäng.</p>\n"
                         "{{about}}<h2>Spelet</h2>\n"
                         "<p><a href=\"{{download}}\">Ladda ner Zifra Invaders</a> (för Windows).</p>\n{{browserGame}}")
                    .set("period", period)
                    .set("games", games)
                    .set("collective", view.period ? collectiveSection(view.collective) : Html())
                    .set("explanation", explanation)
                    .set("rules", gameText(competitionRulesText, siteName))
                    .set("about", gameText(aboutKvippaText, siteName))
                    .set("download", downloadAddress)
                    .set("browserGame", browserGame)
                    .render();
    return htmlPage("Topplistor", body);
}

Html signUpPage(const SignUpForm& sent, const std::vector<std::string>& faults, bool done) {
    if (done) {
        return htmlPage("Välkommen",
                        Template("<h1>Välkommen, {{nickname}}!</h1>\n<p class=\"klart\">Du är medlem nu. Vi har "
                                 "skickat ett brev till {{email}}: klicka på länken i det för att bekräfta din "
                                 "e-postadress. Sedan skickar du din high-score från spelet med din e-postadress som "
                                 "användarnamn.</p>\n<p><a href=\"/\">Till topplistorna</a></p>\n")
                            .set("nickname", sent.nickname)
                            .set("email", sent.email)
                            .render());
    }
    std::string emailLabel = "E-postadress (ditt användarnamn, högst " + std::to_string(maxUserNameLength) + " tecken)";
    Html body =
        Template("<h1>Bli medlem</h1>\n<p>Som medlem kan du registrera dina poäng från spelet. Topplistorna visar ditt "
                 "smeknamn, aldrig din e-postadress.</p>\n{{faults}}<form method=\"post\" action=\"/reg3.htm\">\n"
                 "{{challenge}}{{email}}{{nickname}}{{password}}{{repeated}}"
                 "<p><label for=\"referrer\">Vem skickade spelet till dig? (vännens smeknamn, om du vill: vinner du, "
                 "vinner vännen ett bonuspris)</label><input id=\"referrer\" name=\"referrer\" type=\"text\" "
                 "value=\"{{referrer}}\" maxlength=\"{{referrerLength}}\"></p>\n"
                 "{{news}}<p><button type=\"submit\">Bli medlem</button></p>\n</form>\n")
            .set("faults", faultList(faults))
            .set("challenge", sent.challenge.empty() ? Html()
                                                     : Template("<input type=\"hidden\" name=\"challenge\" "
                                                                "value=\"{{token}}\">\n")
                                                           .set("token", sent.challenge)
                                                           .render())
            .set("email", inputField(emailLabel, "email", "text", sent.email, maxUserNameLength))
            .set("nickname", inputField("Smeknamn i topplistorna", "nickname", "text", sent.nickname, maxNicknameCharacters))
            .set("password", inputField(passwordLabel("Lösenord"), "password", "password", "", maxPasswordLength))
            .set("repeated", inputField("Lösenordet en gång till", "repeated", "password", "", maxPasswordLength))
            .set("referrer", sent.referrer)
            .set("referrerLength", maxNicknameCharacters)
            .set("news", checkboxField("Skicka mig nyheter om nya Kvippaspel (gratis, avsluta när du vill)", "news",
                                       sent.news))
            .render();
    return htmlPage("Bli medlem", body);
}

Html notSignedUpPage() {
    return htmlPage("Inte medlem",
                    Template("<h1>Användarnamnet finns inte</h1>\n<p>Det användarnamn du skrev i spelet är inte "
                             "registrerat hos Kvippa. Kontrollera stavningen, eller <a href=\"/reg3.htm\">bli medlem "
                             "här</a> och skicka sedan din poäng igen.</p>\n<p>Har du nyss blivit medlem? Då har vi "
                             "skickat ett brev till din e-postadress. Klicka på länken i det för att bekräfta "
                             "adressen, och skicka sedan poängen igen. Har brevet inte kommit kan du <a "
                             "href=\"/getpass.htm\">välja ett nytt lösenord</a>: det bekräftar adressen också.</p>\n")
                        .render());
}

Html passwordHelpPage(const std::string& mail, bool asked) {
    if (asked) {
        return htmlPage("Glömt lösenordet",
                        Template("<h1>Kolla din e-post</h1>\n<p class=\"klart\">Om {{mail}} är registrerad hos oss "
                                 "har vi skickat en länk dit. Med den väljer du ett nytt lösenord inom en timme.</p>\n")
                            .set("mail", mail)
                            .render());
    }
    return htmlPage("Glömt lösenordet",
                    Template("<h1>Glömt lösenordet?</h1>\n<p>Fel lösenord? Vi skickar en länk till din "
                             "e-postadress, och med den väljer du ett nytt lösenord.</p>\n<form method=\"post\" "
                             "action=\"/getpass.htm\">\n{{mail}}<p><button type=\"submit\">Skicka länken</button></p>\n"
                             "</form>\n")
                        .set("mail", inputField("E-postadress", "mail", "text", mail, maxUserNameLength))
                        .render());
}

Html resetPage(const std::string& token, ResetStep step, const std::vector<std::string>& faults) {
    switch (step) {
        case ResetStep::done:
            return htmlPage("Nytt lösenord", Template("<h1>Klart</h1>\n<p class=\"klart\">Ditt nya lösenord är "
                                                      "sparat. Använd det nästa gång du skickar din poäng från "
                                                      "spelet.</p>\n")
                                                 .render());
        case ResetStep::deadLink:
            return htmlPage("Nytt lösenord", Template("<h1>Länken fungerar inte</h1>\n<p class=\"fel\">Länken har "
                                                      "redan använts eller är för gammal.</p>\n<p><a "
                                                      "href=\"/getpass.htm\">Be om en ny länk</a>.</p>\n")
                                                 .render());
        case ResetStep::choose:
        case ResetStep::faulty: break;
    }
    return htmlPage("Nytt lösenord",
                    Template("<h1>Välj ett nytt lösenord</h1>\n{{faults}}<form method=\"post\" action=\"/reset.htm\">\n"
                             "<input type=\"hidden\" name=\"token\" value=\"{{token}}\">\n{{password}}{{repeated}}"
                             "<p><button type=\"submit\">Spara lösenordet</button></p>\n</form>\n")
                        .set("faults", faultList(faults))
                        .set("token", token)
                        .set("password", inputField(passwordLabel("Nytt lösenord"), "password", "password", "",
                                                    maxPasswordLength))
                        .set("repeated", inputField("Lösenordet en gång till", "repeated", "password", "",
                                                    maxPasswordLength))
                        .render());
}

Html versionPage(std::int64_t version, std::int32_t newest, Outcome known) {
    std::string title = "Version " + std::to_string(version);
    if (known != Outcome::done) {
        return htmlPage(title, Template("<h1>Version {{version}} finns inte</h1>\n<p>Den senaste versionen av Zifra "
                                        "Invaders är {{newest}}. <a href=\"{{download}}\">Ladda ner den "
                                        "här</a>.</p>\n")
                                   .set("version", version)
                                   .set("newest", newest)
                                   .set("download", downloadAddress)
                                   .render());
    }
    return htmlPage(title, Template("<h1>Zifra Invaders, version {{version}}</h1>\n<p>Nytt i den här versionen: "
                                    "poängen skickas till Kvippas tävling direkt från spelet, och topplistan visar de "
                                    "tio bästa.</p>\n<p><a href=\"{{download}}\">Ladda ner version {{version}}</a> "
                                    "(för Windows).</p>\n")
                               .set("version", version)
                               .set("download", downloadAddress)
                               .render());
}

Html notFoundPage() {
    return htmlPage("Sidan finns inte",
                    Template("<h1>Sidan finns inte</h1>\n<p><a href=\"/\">Till Kvippas startsida</a></p>\n").render());
}

Html forbiddenPage() {
    return htmlPage("Otillåtet", Template("<h1>Formuläret kom från en annan webbplats</h1>\n<p>Fyll i formuläret här "
                                          "hos Kvippa i stället. <a href=\"/\">Till startsidan</a></p>\n")
                                     .render());
}

namespace {

nlohmann::ordered_json placingsJson(const std::vector<Placing>& placings) {
    nlohmann::ordered_json top = nlohmann::ordered_json::array();
    int rank = 0;
    for (const Placing& p : placings) {
        top.push_back({{"rank", ++rank},
                       {"nickname", p.nickname},
                       {"score", p.score},
                       {"date", calendarDate(p.achievedAt)},
                       {"verified", p.verified}});
    }
    return top;
}

nlohmann::ordered_json periodJson(const std::optional<Period>& period) {
    if (!period) return nullptr;
    return {{"name", period->name},
            {"start", utcTime(period->startsAt)},
            {"end", utcTime(period->endsAt)},
            {"closed", period->closedAt.has_value()}};
}

std::string dumped(const nlohmann::ordered_json& json) {
    return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string collectiveJson(const std::optional<Period>& period, const std::vector<CollectivePlacing>& list) {
    nlohmann::ordered_json ranking = nlohmann::ordered_json::array();
    int rank = 0;
    for (const CollectivePlacing& p : list) {
        ranking.push_back({{"rank", ++rank}, {"nickname", p.nickname}, {"total", p.total}});
    }
    return dumped({{"period", periodJson(period)}, {"ranking", std::move(ranking)}});
}

std::string topListJson(const std::optional<Period>& period, const GameLists& lists) {
    nlohmann::ordered_json list = {{"gameid", lists.game.id},
                                   {"period", periodJson(period)},
                                   {"top", placingsJson(lists.period)},
                                   {"alltime", placingsJson(lists.allTime)}};
    return dumped(list);
}

Html confirmPage(const std::string& token, ConfirmStep step) {
    switch (step) {
        case ConfirmStep::done:
            return htmlPage("Bekräftad", Template("<h1>Tack!</h1>\n<p class=\"klart\">Din e-postadress är bekräftad. "
                                                  "Nu kan du registrera dina poäng från spelet.</p>\n<p><a "
                                                  "href=\"/\">Till topplistorna</a></p>\n")
                                             .render());
        case ConfirmStep::deadLink:
            return htmlPage("Bekräfta", Template("<h1>Länken fungerar inte</h1>\n<p class=\"fel\">Länken har redan "
                                                 "använts eller är för gammal.</p>\n<p>Du kan <a "
                                                 "href=\"/getpass.htm\">välja ett nytt lösenord</a>: det bekräftar "
                                                 "adressen också.</p>\n")
                                            .render());
        case ConfirmStep::ask: break;
    }
    return htmlPage("Bekräfta", Template("<h1>Bekräfta din e-postadress</h1>\n<p>Bekräfta att det är du som har blivit "
                                         "medlem med den här adressen.</p>\n<form method=\"post\" "
                                         "action=\"/confirm.htm\">\n<input type=\"hidden\" name=\"token\" "
                                         "value=\"{{token}}\">\n<p><button type=\"submit\">Bekräfta</button></p>\n"
                                         "</form>\n")
                                    .set("token", token)
                                    .render());
}
