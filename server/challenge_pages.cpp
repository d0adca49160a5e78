#include "server/challenge_pages.h"

#include "server/html.h"
#include "server/html_template.h"

namespace {

Html friendFields(const ChallengeForm& sent) {
    Html fields;
    for (std::size_t n = 1; n <= maxChallengedFriends; ++n) {
        fields += Template("<p><label for=\"friend{{n}}\">Vän {{n}}, e-postadress</label><input id=\"friend{{n}}\" "
                           "name=\"friend{{n}}\" type=\"text\" value=\"{{value}}\" maxlength=\"{{max}}\"></p>\n")
                      .set("n", n)
                      .set("value", n <= sent.friends.size() ? sent.friends[n - 1] : std::string())
                      .set("max", maxFriendAddressBytes)
                      .render();
    }
    return fields;
}

}  // namespace

Html challengeFormBody(const Html& formField, const ChallengeForm& sent, const std::vector<std::string>& faults) {
    return Template("<h1>Utmana dina vänner</h1>\n<p>Skicka Zifra Invaders till upp till {{most}} vänner. Var och "
                    "en får ett brev från Kvippa med ditt smeknamn och ditt bästa resultat, länkar till spelet och en "
                    "länk för att bli medlem. Blir en vän medlem genom länken och vinner sedan, vinner du ett "
                    "bonuspris.</p>\n<p>Vi sparar inte dina vänners adresser, bara ett kontrollvärde av varje, så att "
                    "ingen får för många brev. Den som inte vill ha fler brev från Kvippa slipper med ett klick.</p>\n"
                    "{{faults}}<form method=\"post\" action=\"/index2.htm\">\n{{form}}\n{{friends}}<p><label "
                    "for=\"message\">Meddelande till dina vänner (om du vill, högst {{length}} tecken)</label>"
                    "<textarea id=\"message\" name=\"message\" rows=\"3\" cols=\"40\" maxlength=\"{{length}}\">"
                    "{{message}}</textarea></p>\n<p><button type=\"submit\">Skicka utmaningen</button></p>\n</form>\n")
        .set("most", maxChallengedFriends)
        .set("faults", faultList(faults))
        .set("form", formField)
        .set("friends", friendFields(sent))
        .set("length", maxChallengeMessageCharacters)
        .set("message", sent.message)
        .render();
}

Html challengeSentBody() {
    return Template("<h1>Utmana dina vänner</h1>\n<p class=\"klart\">Utmaningen är skickad.</p>\n"
                    "<p><a href=\"/index2.htm\">Utmana fler vänner</a></p>\n<p><a href=\"/\">Till "
                    "topplistorna</a></p>\n")
        .render();
}

Html challengeInfoBody() {
    return Template("<h1>Utmana dina vänner</h1>\n<p>Tycker du att du är bra på Zifra Invaders? Utmana dina "
                    "vänner! Du skriver upp till {{most}} vänners e-postadresser, och var och en får ett brev från "
                    "Kvippa med ditt smeknamn, ditt bästa resultat och spelet. Blir en vän medlem genom brevets länk "
                    "och vinner sedan, vinner du ett bonuspris.</p>\n<p>För att utmana dina vänner loggar du in som "
                    "medlem.</p>\n<p><a href=\"/logga-in.htm?next=/index2.htm\">Logga in</a></p>\n<p><a "
                    "href=\"/reg3.htm\">Bli medlem</a></p>\n")
        .set("most", maxChallengedFriends)
        .render();
}

Html mailRefusalPage(const std::string& token, RefusalLink link) {
    if (link == RefusalLink::used) {
        return htmlPage("Inga fler brev", Template("<h1>Klart</h1>\n<p class=\"klart\">Kvippa skickar inga fler "
                                                   "utmaningar eller nyheter till din adress.</p>\n")
                                              .render());
    }
    // A link scanner that fetches the link changes nothing: the page asks
    // for the one click.
    return htmlPage("Inga fler brev",
                    Template("<h1>Inga fler brev från Kvippa?</h1>\n<p>Vi skickar inga fler utmaningar eller nyheter "
                             "till din adress, vem som än skriver in den.</p>\n<form method=\"post\" "
                             "action=\"/avsluta.htm?token={{token}}\">\n<p><button type=\"submit\">Ja, skicka inga "
                             "fler brev</button></p>\n</form>\n")
                        .set("token", token)
                        .render());
}
