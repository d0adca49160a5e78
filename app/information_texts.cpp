#include "app/information_texts.h"

#include <array>
#include <string>
#include <string_view>

#include "app/web_addresses.h"
#include "net/kvippa_texts.h"

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
        dialogBytes(competitionRulesText),
        dialogBytes(withSite(aboutKvippaText)),
    };
    if (index < 0 || index >= static_cast<int>(texts.size())) return nullptr;
    return texts[static_cast<std::size_t>(index)].c_str();
}
