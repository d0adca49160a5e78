#include "server/account_pages.h"

#include "net/field_limits.h"
#include "server/account_rules.h"
#include "server/html.h"
#include "server/pages.h"
#include "server/signed_in.h"

namespace {

Html faultLine(const std::string& fault) {
    if (fault.empty()) return {};
    return Template("<p class=\"fel\">{{fault}}</p>\n").set("fault", fault).render();
}

}  // namespace

Html signInBody(const std::string& email, const std::string& next, const std::string& fault) {
    return Template(
               "<h1>Logga in</h1>\n{{fault}}<form method=\"post\" action=\"/logga-in.htm\">\n"
               "<input type=\"hidden\" name=\"next\" value=\"{{next}}\">\n"
               "<p><label for=\"email\">E-postadress</label><input id=\"email\" name=\"email\" type=\"text\" "
               "value=\"{{email}}\" maxlength=\"{{emailLength}}\" required></p>\n"
               "<p><label for=\"password\">Lösenord</label><input id=\"password\" name=\"password\" "
               "type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><button type=\"submit\">Logga in</button></p>\n</form>\n"
               "<p><a href=\"/getpass.htm\">Glömt lösenordet?</a> Inte medlem? "
               "<a href=\"/reg3.htm\">Bli medlem här</a>.</p>\n")
        .set("fault", faultLine(fault))
        .set("next", next)
        .set("email", email)
        .set("emailLength", maxUserNameLength)
        .set("passwordLength", maxPasswordLength)
        .render();
}

namespace {

Html bestsTable(const std::vector<MyBest>& bests) {
    if (bests.empty()) return Template("<p>Du har inga poäng i topplistorna ännu.</p>\n").render();
    return Template(
               "<table id=\"mina-basta\">\n<tr><th>Spel</th><th>Period</th><th class=\"score\">Poäng</th></tr>\n"
               "{{rows}}</table>\n")
        .set("rows",
             joined(bests,
                    [](const MyBest& b) {
                        return Template(
                                   "<tr><td>{{game}}</td><td>{{period}}</td><td class=\"score\">{{score}}</td></tr>\n")
                            .set("game", b.game)
                            .set("period", b.period.empty() ? "Genom tiderna" : b.period)
                            .set("score", b.score)
                            .render();
                    }))
        .render();
}

Html scoresTable(const std::vector<MyScore>& scores) {
    if (scores.empty()) return Template("<p>Du har inte registrerat några poäng ännu.</p>\n").render();
    return Template(
               "<table id=\"mina-poang\">\n<tr><th>Datum</th><th>Spel</th><th class=\"score\">Poäng</th>"
               "<th>Period</th><th>Bevisad</th></tr>\n{{rows}}</table>\n")
        .set("rows", joined(scores,
                            [](const MyScore& s) {
                                return Template(
                                           "<tr><td>{{date}}</td><td>{{game}}</td><td class=\"score\">{{score}}</td>"
                                           "<td>{{period}}</td><td>{{proven}}</td></tr>\n")
                                    .set("date", utcTime(s.submittedAt))
                                    .set("game", s.game)
                                    .set("score", s.score)
                                    .set("period", s.hidden           ? "dold av arrangören"
                                                   : s.period.empty() ? "–"
                                                                      : s.period)
                                    .set("proven", s.proven ? "ja" : "nej")
                                    .render();
                            }))
        .render();
}

Html challengesList(const std::vector<SentChallenge>& challenges) {
    if (challenges.empty()) {
        return Template("<p>Du har inte utmanat någon ännu. <a href=\"/index2.htm\">Utmana dina vänner</a></p>\n")
            .render();
    }
    return Template(
               "<table id=\"mina-utmaningar\">\n<tr><th>Datum</th><th>Blev medlem</th></tr>\n"
               "{{rows}}</table>\n")
        .set("rows", joined(challenges,
                            [](const SentChallenge& c) {
                                return Template("<tr><td>{{date}}</td><td>{{joined}}</td></tr>\n")
                                    .set("date", utcTime(c.sentAt))
                                    .set("joined", c.joined.empty() ? "–" : c.joined)
                                    .render();
                            }))
        .render();
}

Html pendingEmail(const std::optional<std::string>& email) {
    if (!email) return {};
    return Template(
               "<p class=\"klart\">Vi har skickat ett brev till {{email}}. Klicka på länken i det inom ett dygn "
               "för att byta till den adressen.</p>\n")
        .set("email", *email)
        .render();
}

}  // namespace

Html myPageBody(const MyPage& page, const Session& session, const std::vector<std::string>& faults) {
    Html form = formTokenField(session);
    return Template(
               "<h1>Mina sidor</h1>\n{{faults}}"
               "<p>Inloggad som <strong>{{nickname}}</strong> ({{email}}).</p>\n"
               "<h2>Mina bästa poäng</h2>\n{{bests}}"
               "<h2>Mina poäng</h2>\n{{scores}}"
               "<h2>Mina utmaningar</h2>\n{{challenges}}"
               "<h2>Smeknamn</h2>\n<form method=\"post\" action=\"/mina-sidor/smeknamn\">{{form}}\n"
               "<p><label for=\"nickname\">Nytt smeknamn i topplistorna</label><input id=\"nickname\" "
               "name=\"nickname\" type=\"text\" value=\"{{nickname}}\" maxlength=\"{{nicknameLength}}\" required></p>\n"
               "<p><button type=\"submit\">Byt smeknamn</button></p>\n</form>\n"
               "<h2>E-postadress</h2>\n{{pending}}<form method=\"post\" action=\"/mina-sidor/epost\">{{form}}\n"
               "<p><label for=\"email\">Ny e-postadress</label><input id=\"email\" name=\"email\" type=\"text\" "
               "maxlength=\"{{emailLength}}\" required></p>\n"
               "<p><label for=\"email-password\">Ditt lösenord</label><input id=\"email-password\" name=\"password\" "
               "type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><button type=\"submit\">Byt e-postadress</button></p>\n</form>\n"
               "<h2>Lösenord</h2>\n<form method=\"post\" action=\"/mina-sidor/losenord\">{{form}}\n"
               "<p><label for=\"current\">Nuvarande lösenord</label><input id=\"current\" name=\"password\" "
               "type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><label for=\"new\">Nytt lösenord ({{minPassword}} till {{passwordLength}} tecken)</label>"
               "<input id=\"new\" name=\"new\" type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><label for=\"repeated\">Det nya lösenordet en gång till</label><input id=\"repeated\" "
               "name=\"repeated\" type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><button type=\"submit\">Byt lösenord</button> (du loggas ut överallt utom här)</p>\n</form>\n"
               "<h2>Nyheter</h2>\n<form method=\"post\" action=\"/mina-sidor/nyheter\">{{form}}\n"
               "<p><input id=\"news\" name=\"news\" type=\"checkbox\" value=\"ja\"{{checked}}> <label for=\"news\" "
               "style=\"display:inline\">Skicka mig nyheter om nya Kvippaspel</label></p>\n"
               "<p><button type=\"submit\">Spara</button></p>\n</form>\n"
               "<h2>Mina uppgifter</h2>\n<p><a href=\"/mina-sidor/data.json\">Ladda ner allt vi har sparat om dig</a> "
               "(JSON).</p>\n"
               "<h2>Radera kontot</h2>\n<p>Ditt konto, dina poäng och din e-postadress raderas. Har du vunnit "
               "står ditt smeknamn kvar bland vinnarna.</p>\n"
               "<form method=\"post\" action=\"/mina-sidor/radera\">{{form}}\n"
               "<p><label for=\"delete-password\">Ditt lösenord</label><input id=\"delete-password\" name=\"password\" "
               "type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><input id=\"sure\" name=\"sure\" type=\"checkbox\" value=\"ja\"> <label for=\"sure\" "
               "style=\"display:inline\">Ja, radera mitt konto för gott</label></p>\n"
               "<p><button type=\"submit\">Radera kontot</button></p>\n</form>\n")
        .set("faults", faultList(faults))
        .set("nickname", page.nickname)
        .set("email", page.email)
        .set("bests", bestsTable(page.bests))
        .set("scores", scoresTable(page.scores))
        .set("challenges", challengesList(page.challenges))
        .set("form", form)
        .set("nicknameLength", maxNicknameCharacters)
        .set("pending", pendingEmail(page.pendingEmail))
        .set("emailLength", maxUserNameLength)
        .set("passwordLength", maxPasswordLength)
        .set("minPassword", minPasswordCharacters)
        .set("checked", page.news ? Template(" checked").render() : Html())
        .render();
}

Html emailChangeBody(const std::string& token, EmailChangeStep step, const std::vector<std::string>& faults) {
    switch (step) {
    case EmailChangeStep::done:
        return Template(
                   "<h1>Klart</h1>\n<p class=\"klart\">Din nya e-postadress är sparad. Logga in med den "
                   "från och med nu, i spelet också.</p>\n<p><a href=\"/mina-sidor\">Till mina sidor</a></p>\n")
            .render();
    case EmailChangeStep::faulty:
        return Template(
                   "<h1>Adressen byttes inte</h1>\n{{faults}}<p><a href=\"/mina-sidor\">Till mina "
                   "sidor</a></p>\n")
            .set("faults", faultList(faults))
            .render();
    case EmailChangeStep::ask: break;
    }
    return Template(
               "<h1>Byt e-postadress</h1>\n<p>Bekräfta att ditt konto hos Kvippa ska ha den här adressen från och "
               "med nu.</p>\n<form method=\"post\" action=\"/mina-sidor/ny-epost\">\n"
               "<input type=\"hidden\" name=\"token\" value=\"{{token}}\">\n"
               "<p><button type=\"submit\">Byt adress</button></p>\n</form>\n")
        .set("token", token)
        .render();
}

Html deletedBody() {
    return Template(
               "<h1>Kontot är raderat</h1>\n<p class=\"klart\">Ditt konto, dina poäng och din e-postadress är "
               "borta. Välkommen tillbaka när du vill: <a href=\"/reg3.htm\">bli medlem igen</a>.</p>\n")
        .render();
}
