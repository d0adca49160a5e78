#include "app/information_texts.h"

#include <array>
#include <string>
#include <string_view>

#include "app/web_addresses.h"

namespace {

// The texts are kept readable here, in UTF-8 with plain line feeds, and turned
// into the dialog's bytes once.
constexpr std::string_view gameRules = R"(Zifra Invaders

Styr Servobot med piltangenterna och skicka signaler med mellanslag.

Hjälp Zifra Servobot att kombinera sifferkoder. Genom att skicka impulser mot koderna hamnar de i Servobots kodlager till höger. Det är mycket fördelaktigt att kombinera flera siffror i rad av samma värde i följd. Poängräkningen ser ut såhär:

Exempel 1, två brickor i rad med beteckningen 3:
(3+9=12, 12 poäng)

Exempel 2, tre brickor i rad med beteckningen 7:
(7+21+63=91, 91 poäng)

Exempel 3, fyra brickor i rad med beteckningen 4:
(4+12+36+64=116, 116 poäng)
En nolla räknas som 10.

Brickorna skickar ut störningsimpulser (stjärnor och fyrkanter) mot Servobot men till hans hjälp har han Vaktor figurerna. De absorberar tio störningsimpulser var innan de försvinner.

Var 2000:de poäng kommer det tillbaka nya Vaktor figurer.
Var 10:de nivå får Servobot ett extraliv.

Lycka till!
)";

constexpr std::string_view competitionRules = R"(Tävlingsregler

Du skickar in din high-score med "Registrera high-score" i menyn "Koppla upp". Där anger du ditt användarnamn, det vill säga din e-mailadress, och det lösenord du fick när du anmälde dig till Kvippa. Du måste vara anmäld för att kunna registrera dina poäng.

På Kvippasajten, som du når från menyn "Koppla upp", kan du jämföra ditt resultat med andras, beställa fler spel och utmana dina vänner. Du får uppdatera ditt resultat så ofta du vill. Varje spel har tio vinnare.

Om du vinner och anger vilken vän som skickade spelet till dig, vinner även din vän ett bonuspris. Med funktionen "Utmana dina vänner" under "Koppla upp" skickar du spelet vidare till dina vänner tillsammans med en utmaning.

Vinnarna utses när tävlingsperioden är slut. Endast personer som är bosatta i Sverige och har lämnat korrekta uppgifter deltar i tävlingen. Eventuell vinstskatt betalas av vinnaren.
)";

// "@SITE@" stands for the competition site's name.
constexpr std::string_view aboutKvippa = R"(Om Kvippa

Kvippa ger dig som konsument ett gratis spel i stället för vanlig reklam. Nya spel kommer ut efter hand, och du kan prenumerera på dem utan kostnad genom att anmäla dig på @SITE@.

Varje spel är en egen tävling om de högsta registrerade poängen, och den som skickade ett vinnande spel vidare vinner ett bonuspris. I den gemensamma tävlingen rankas alla som har spelat samtliga aktuella Kvippaspel efter sina sammanlagda poäng.

Konceptet och spelen har tagits fram av Kvippa och Zifra.

Lycka till med spelandet!
)";

// UTF-8 to Windows-1252 for the letters these texts use (all below U+0100,
// where the two agree), and LF to CR LF.
std::string dialogBytes(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\n') {
            out += "\r\n";
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            unsigned codePoint = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
            out += codePoint < 0x100 ? static_cast<char>(codePoint) : '?';
        } else {
            out += '?';
        }
    }
    return out;
}

std::string withSite(std::string_view text) {
    std::string result(text);
    std::string::size_type at = result.find("@SITE@");
    if (at != std::string::npos) result.replace(at, 6, competitionSiteName());
    return result;
}

}  // namespace

const char* informationText(int index) {
    static const std::array<std::string, 3> texts = {
        dialogBytes(gameRules),
        dialogBytes(competitionRules),
        dialogBytes(withSite(aboutKvippa)),
    };
    if (index < 0 || index >= static_cast<int>(texts.size())) return nullptr;
    return texts[static_cast<std::size_t>(index)].c_str();
}
