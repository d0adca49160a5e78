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
std::string topTable(const std::vector<Placing>& placings, const std::string& id) {
    if (placings.empty()) return "<p>Inga poäng är registrerade ännu. Bli den första!</p>\n";
    std::string html = "<table class=\"topplista\" id=\"" + id +
                       "\">\n<tr><th>Plats</th><th>Smeknamn</th><th class=\"score\">Poäng</th><th>Datum</th>"
                       "<th>Bevisad</th></tr>\n";
    int rank = 0;
    for (const Placing& p : placings) {
        html += "<tr><td>" + std::to_string(++rank) + "</td><td>" + htmlEscape(p.nickname) + "</td><td class=\"score\">" +
                std::to_string(p.score) + "</td><td>" + calendarDate(p.achievedAt) + "</td><td class=\"bevis\">" +
                (p.verified ? verifiedMark : "") + "</td></tr>\n";
    }
    return html + "</table>\n";
}

std::string gameSection(const GameLists& lists, bool inPeriod) {
    std::string id = std::to_string(lists.game.id);
    std::string html = "<h2>" + htmlEscape(lists.game.name) + "</h2>\n";
    if (inPeriod) html += "<h3>Tävlingsperioden</h3>\n" + topTable(lists.period, "period-" + id);
    return html + "<h3>Genom tiderna</h3>\n" + topTable(lists.allTime, "topp-" + id);
}

// One of the game's own texts: its title line a heading, each paragraph a
// paragraph, the site's name where the game names it.
std::string gameText(std::string_view text, std::string_view siteName) {
    std::string html;
    for (std::size_t start = 0, index = 0; start < text.size(); ++index) {
        std::size_t end = std::min(text.find("\n\n", start), text.size());
        std::string part(text.substr(start, end - start));
        while (!part.empty() && part.back() == '\n') part.pop_back();
        std::size_t site = part.find("@SITE@");
        if (site != std::string::npos) part.replace(site, 6, siteName);
        html += index == 0 ? "<h2>" + htmlEscape(part) + "</h2>\n" : "<p>" + htmlEscape(part) + "</p>\n";
        start = end + 2;
    }
    return html;
}

std::string collectiveSection(const std::vector<CollectivePlacing>& list) {
    std::string html = "<h2>Den gemensamma tävlingen</h2>\n<p>I den gemensamma tävlingen rankas alla som har spelat "
                       "samtliga aktuella Kvippaspel efter sina sammanlagda poäng.</p>\n";
    if (list.empty()) return html + "<p>Ingen har spelat alla aktuella spel under perioden ännu.</p>\n";
    html += "<table class=\"topplista\" id=\"gemensam\">\n<tr><th>Plats</th><th>Smeknamn</th>"
            "<th class=\"score\">Sammanlagt</th></tr>\n";
    int rank = 0;
    for (const CollectivePlacing& p : list) {
        html += "<tr><td>" + std::to_string(++rank) + "</td><td>" + htmlEscape(p.nickname) +
                "</td><td class=\"score\">" + std::to_string(p.total) + "</td></tr>\n";
    }
    return html + "</table>\n";
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

std::string startPage(const ContestView& view, std::string_view siteName, bool webGame) {
    std::string body = "<h1>Kvippa – tävla med dina spel</h1>\n"
                       "<p>Här jämför du ditt resultat med andras. Varje spel har tio vinnare: de tio bästa när "
                       "tävlingsperioden är slut. <a href=\"/vinnare.htm\">Tidigare vinnare</a></p>\n";
    if (view.period) {
        body += "<p class=\"period\">Tävlingsperiod: <strong>" + htmlEscape(view.period->name) +
                "</strong>, slutar " + utcTime(view.period->endsAt) + ".</p>\n";
    } else {
        body += "<p class=\"period\">Ingen tävlingsperiod pågår just nu.</p>\n";
    }
    for (const GameLists& lists : view.games) body += gameSection(lists, view.period.has_value());
    if (view.period) body += collectiveSection(view.collective);
    if (!view.games.empty()) {
        body += "<p class=\"forklaring\">" + verifiedMark + " = bevisad poäng: tjänsten har själv spelat om "
                "partiet och fått samma poäng.</p>\n";
    }
    body += gameText(competitionRulesText, siteName) +
            "<p><a href=\"/reg3.htm\">Bli medlem här</a> för att registrera dina poäng.</p>\n" +
            gameText(aboutKvippaText, siteName) +
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
                            "!</h1>\n<p class=\"klart\">Du är medlem nu. Vi har skickat ett brev till " +
                            htmlEscape(sent.email) +
                            ": klicka på länken i det för att bekräfta din e-postadress. Sedan skickar du din "
                            "high-score från spelet med din e-postadress som användarnamn.</p>\n<p><a href=\"/\">Till "
                            "topplistorna</a></p>\n");
    }
    std::string body = "<h1>Bli medlem</h1>\n<p>Som medlem kan du registrera dina poäng från spelet. Topplistorna "
                       "visar ditt smeknamn, aldrig din e-postadress.</p>\n" +
                       faultList(faults) + "<form method=\"post\" action=\"/reg3.htm\">\n" +
                       (sent.challenge.empty() ? "" : "<input type=\"hidden\" name=\"challenge\" value=\"" +
                                                          htmlEscape(sent.challenge) + "\">\n") +
                       inputField("E-postadress (ditt användarnamn, högst " + std::to_string(maxUserNameLength) + " tecken)",
                             "email", "text", sent.email, maxUserNameLength) +
                       inputField("Smeknamn i topplistorna", "nickname", "text", sent.nickname, maxNicknameCharacters) +
                       inputField(passwordLabel("Lösenord"), "password", "password", "", maxPasswordLength) +
                       inputField("Lösenordet en gång till", "repeated", "password", "", maxPasswordLength) +
                       "<p><label for=\"referrer\">Vem skickade spelet till dig? (vännens smeknamn, om du vill: "
                       "vinner du, vinner vännen ett bonuspris)</label><input id=\"referrer\" name=\"referrer\" "
                       "type=\"text\" value=\"" +
                       htmlEscape(sent.referrer) + "\" maxlength=\"" + std::to_string(maxNicknameCharacters) +
                       "\"></p>\n"
                       "<p><input id=\"news\" name=\"news\" type=\"checkbox\" value=\"ja\"" +
                       (sent.news ? " checked" : "") +
                       "> <label for=\"news\" style=\"display:inline\">Skicka mig nyheter om nya Kvippaspel "
                       "(gratis, avsluta när du vill)</label></p>\n"
                       "<p><button type=\"submit\">Bli medlem</button></p>\n</form>\n";
    return htmlPage("Bli medlem", body);
}

std::string notSignedUpPage() {
    return htmlPage("Inte medlem",
                    "<h1>Användarnamnet finns inte</h1>\n<p>Det användarnamn du skrev i spelet är inte registrerat "
                    "hos Kvippa. Kontrollera stavningen, eller <a href=\"/reg3.htm\">bli medlem här</a> och skicka "
                    "sedan din poäng igen.</p>\n<p>Har du nyss blivit medlem? Då har vi skickat ett brev till din "
                    "e-postadress. Klicka på länken i det för att bekräfta adressen, och skicka sedan poängen igen. "
                    "Har brevet inte kommit kan du <a href=\"/getpass.htm\">välja ett nytt lösenord</a>: det "
                    "bekräftar adressen också.</p>\n");
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
                        inputField("E-postadress", "mail", "text", mail, maxUserNameLength) +
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
                        inputField(passwordLabel("Nytt lösenord"), "password", "password", "", maxPasswordLength) +
                        inputField("Lösenordet en gång till", "repeated", "password", "", maxPasswordLength) +
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

std::string confirmPage(const std::string& token, ConfirmStep step) {
    switch (step) {
        case ConfirmStep::done:
            return htmlPage("Bekräftad", "<h1>Tack!</h1>\n<p class=\"klart\">Din e-postadress är bekräftad. Nu kan "
                                         "du registrera dina poäng från spelet.</p>\n<p><a href=\"/\">Till "
                                         "topplistorna</a></p>\n");
        case ConfirmStep::deadLink:
            return htmlPage("Bekräfta", "<h1>Länken fungerar inte</h1>\n<p class=\"fel\">Länken har redan använts "
                                        "eller är för gammal.</p>\n<p>Du kan <a href=\"/getpass.htm\">välja ett nytt "
                                        "lösenord</a>: det bekräftar adressen också.</p>\n");
        case ConfirmStep::ask: break;
    }
    return htmlPage("Bekräfta", "<h1>Bekräfta din e-postadress</h1>\n<p>Bekräfta att det är du som har blivit "
                                "medlem med den här adressen.</p>\n<form method=\"post\" action=\"/confirm.htm\">\n"
                                "<input type=\"hidden\" name=\"token\" value=\"" + htmlEscape(token) + "\">\n"
                                "<p><button type=\"submit\">Bekräfta</button></p>\n</form>\n");
}
