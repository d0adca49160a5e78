#include "server/pages.h"

#include <nlohmann/json.hpp>

#include "server/html.h"
#include "server/web_game_files.h"

namespace {

constexpr char downloadAddress[] = "/download/zifra.exe";
// Marks a score the service has proven by playing its replay again.
const std::string verifiedMark = "✓";

std::string faultList(const std::vector<std::string>& faults) {
    if (faults.empty()) return "";
    std::string list = "<ul class=\"fel\">\n";
    for (const std::string& fault : faults) list += "<li>" + htmlEscape(fault) + "</li>\n";
    return list + "</ul>\n";
}

// A required input of at most `maxLength` characters.
std::string field(const std::string& label, const char* name, const char* type, const std::string& value,
                  std::size_t maxLength) {
    return "<p><label for=\"" + std::string(name) + "\">" + label + "</label><input id=\"" + name + "\" name=\"" +
           name + "\" type=\"" + type + "\" value=\"" + htmlEscape(value) + "\" maxlength=\"" +
           std::to_string(maxLength) + "\" required></p>\n";
}

// The label of a new password's field.
std::string passwordLabel(const char* what) {
    return std::string(what) + " (" + std::to_string(minPasswordCharacters) + " till " +
           std::to_string(maxPasswordLength) + " tecken)";
}

std::string topTable(const TopList& list) {
    std::string html = "<h2>" + htmlEscape(list.game->name) + "</h2>\n";
    if (list.placings.empty()) return html + "<p>Inga poäng är registrerade ännu. Bli den första!</p>\n";
    html += "<table class=\"topplista\" id=\"topp-" + std::to_string(list.game->id) +
            "\">\n<tr><th>Plats</th><th>Smeknamn</th><th class=\"score\">Poäng</th><th>Datum</th><th>Bevisad</th></tr>\n";
    int rank = 0;
    for (const Placing& p : list.placings) {
        html += "<tr><td>" + std::to_string(++rank) + "</td><td>" + htmlEscape(p.nickname) + "</td><td class=\"score\">" +
                std::to_string(p.score) + "</td><td>" + calendarDate(p.achievedAt) + "</td><td class=\"bevis\">" +
                (p.verified ? verifiedMark : "") + "</td></tr>\n";
    }
    return html + "</table>\n<p class=\"forklaring\">" + verifiedMark + " = bevisad poäng: tjänsten har själv " +
           "spelat om partiet och fått samma poäng.</p>\n";
}

}  // namespace

std::string startPage(const std::vector<TopList>& lists, bool webGame) {
    std::string body = "<h1>Kvippa – tävla med dina spel</h1>\n"
                       "<p>Här jämför du ditt resultat med andras. Varje spel har tio vinnare: de tio bästa när "
                       "tävlingsperioden är slut.</p>\n";
    for (const TopList& list : lists) body += topTable(list);
    body += "<h2>Tävlingsregler</h2>\n"
            "<p>Du skickar din high-score med ”Registrera high-score” i menyn ”Koppla upp”. Du anger då ditt "
            "användarnamn (din e-postadress) och ditt lösenord. För att registrera poäng måste du vara medlem: "
            "<a href=\"/reg3.htm\">bli medlem här</a>.</p>\n"
            "<p>Du får uppdatera ditt resultat så ofta du vill; listan visar varje spelares bästa poäng. "
            "Här jämför du resultat, beställer fler spel och utmanar dina vänner.</p>\n"
            "<p>Den som vinner och anger vilken vän som skickade spelet vinner också ett bonuspris åt vännen. "
            "Med ”Utmana dina vänner” under ”Koppla upp” skickar du spelet vidare med en utmaning.</p>\n"
            "<p>Vinnarna utses när tävlingsperioden är slut. Bara den som bor i Sverige och har lämnat riktiga "
            "uppgifter deltar. Eventuell vinstskatt betalas av vinnaren.</p>\n"
            "<h2>Spelet</h2>\n"
            "<p><a href=\"" +
            std::string(downloadAddress) + "\">Ladda ner Zifra Invaders</a> (för Windows).</p>\n";
    if (webGame) {
        body += "<p><a href=\"" + std::string(webGameAddress) + "\">Spela i webbläsaren</a>: samma spel, och "
                "poängen hamnar i samma topplista.</p>\n";
    }
    return htmlPage("Topplistor", body);
}

std::string signUpPage(const SignUpForm& sent, const std::vector<std::string>& faults, bool done) {
    if (done) {
        return htmlPage("Välkommen",
                        "<h1>Välkommen, " + htmlEscape(sent.nickname) +
                            "!</h1>\n<p class=\"klart\">Du är medlem nu. Skicka din high-score från spelet med "
                            "din e-postadress som användarnamn.</p>\n<p><a href=\"/\">Till topplistorna</a></p>\n");
    }
    std::string body = "<h1>Bli medlem</h1>\n<p>Som medlem kan du registrera dina poäng från spelet. Topplistorna "
                       "visar ditt smeknamn, aldrig din e-postadress.</p>\n" +
                       faultList(faults) + "<form method=\"post\" action=\"/reg3.htm\">\n" +
                       field("E-postadress (ditt användarnamn, högst " + std::to_string(maxUserNameLength) + " tecken)",
                             "email", "text", sent.email, maxUserNameLength) +
                       field("Smeknamn i topplistorna", "nickname", "text", sent.nickname, maxNicknameCharacters) +
                       field(passwordLabel("Lösenord"), "password", "password", "", maxPasswordLength) +
                       field("Lösenordet en gång till", "repeated", "password", "", maxPasswordLength) +
                       "<p><button type=\"submit\">Bli medlem</button></p>\n</form>\n";
    return htmlPage("Bli medlem", body);
}

std::string notSignedUpPage() {
    return htmlPage("Inte medlem",
                    "<h1>Användarnamnet finns inte</h1>\n<p>Det användarnamn du skrev i spelet är inte registrerat "
                    "hos Kvippa. Kontrollera stavningen, eller <a href=\"/reg3.htm\">bli medlem här</a> och skicka "
                    "sedan din poäng igen.</p>\n");
}

std::string passwordHelpPage(const std::string& mail, bool asked) {
    if (asked) {
        return htmlPage("Glömt lösenordet",
                        "<h1>Kolla din e-post</h1>\n<p class=\"klart\">Om " + htmlEscape(mail) +
                            " är registrerad hos oss har vi skickat en länk dit. Med den väljer du ett nytt "
                            "lösenord inom en timme.</p>\n");
    }
    return htmlPage("Glömt lösenordet",
                    "<h1>Glömt lösenordet?</h1>\n<p>Fel lösenord? Vi skickar en länk till din e-postadress, och med "
                    "den väljer du ett nytt lösenord.</p>\n<form method=\"post\" action=\"/getpass.htm\">\n" +
                        field("E-postadress", "mail", "text", mail, maxUserNameLength) +
                        "<p><button type=\"submit\">Skicka länken</button></p>\n</form>\n");
}

std::string resetPage(const std::string& token, ResetStep step, const std::vector<std::string>& faults) {
    switch (step) {
        case ResetStep::done:
            return htmlPage("Nytt lösenord", "<h1>Klart</h1>\n<p class=\"klart\">Ditt nya lösenord är sparat. "
                                             "Använd det nästa gång du skickar din poäng från spelet.</p>\n");
        case ResetStep::deadLink:
            return htmlPage("Nytt lösenord", "<h1>Länken fungerar inte</h1>\n<p class=\"fel\">Länken har redan "
                                             "använts eller är för gammal.</p>\n<p><a href=\"/getpass.htm\">Be om "
                                             "en ny länk</a>.</p>\n");
        case ResetStep::choose:
        case ResetStep::faulty: break;
    }
    return htmlPage("Nytt lösenord",
                    "<h1>Välj ett nytt lösenord</h1>\n" + faultList(faults) +
                        "<form method=\"post\" action=\"/reset.htm\">\n<input type=\"hidden\" name=\"token\" value=\"" +
                        htmlEscape(token) + "\">\n" +
                        field(passwordLabel("Nytt lösenord"), "password", "password", "", maxPasswordLength) +
                        field("Lösenordet en gång till", "repeated", "password", "", maxPasswordLength) +
                        "<p><button type=\"submit\">Spara lösenordet</button></p>\n</form>\n");
}

std::string versionPage(std::int64_t version, std::int32_t newest) {
    std::string number = std::to_string(version);
    if (version < 1 || version > newest) {
        return htmlPage("Version " + number, "<h1>Version " + number + " finns inte</h1>\n<p>Den senaste versionen "
                                             "av Zifra Invaders är " + std::to_string(newest) +
                                             ". <a href=\"" + downloadAddress + "\">Ladda ner den här</a>.</p>\n");
    }
    return htmlPage("Version " + number,
                    "<h1>Zifra Invaders, version " + number +
                        "</h1>\n<p>Nytt i den här versionen: poängen skickas till Kvippas tävling direkt från "
                        "spelet, och topplistan visar de tio bästa.</p>\n<p><a href=\"" +
                        downloadAddress + "\">Ladda ner version " + number + "</a> (för Windows).</p>\n");
}

std::string notFoundPage() {
    return htmlPage("Sidan finns inte", "<h1>Sidan finns inte</h1>\n<p><a href=\"/\">Till Kvippas startsida</a></p>\n");
}

std::string forbiddenPage() {
    return htmlPage("Otillåtet", "<h1>Formuläret kom från en annan webbplats</h1>\n<p>Fyll i formuläret här hos "
                                 "Kvippa i stället. <a href=\"/\">Till startsidan</a></p>\n");
}

std::string topListJson(std::int32_t gameId, const std::vector<Placing>& placings) {
    nlohmann::ordered_json top = nlohmann::ordered_json::array();
    int rank = 0;
    for (const Placing& p : placings) {
        top.push_back({{"rank", ++rank},
                       {"nickname", p.nickname},
                       {"score", p.score},
                       {"date", calendarDate(p.achievedAt)},
                       {"verified", p.verified}});
    }
    nlohmann::ordered_json list = {{"gameid", gameId}, {"top", std::move(top)}};
    return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}
