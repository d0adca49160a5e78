#pragma once
// The game's two texts about the competition, which the competition site's
// start page repeats: in UTF-8, lines ended by a line feed, the title on the
// first line, paragraphs separated by an empty line.
#include <string_view>

inline constexpr std::string_view competitionRulesText = R"(Tävlingsregler

Du skickar in din high-score med "Registrera high-score" i menyn "Koppla upp". Där anger du ditt användarnamn, det vill säga din e-mailadress, och det lösenord du fick när du anmälde dig till Kvippa. Du måste vara anmäld för att kunna registrera dina poäng.

På Kvippasajten, som du når från menyn "Koppla upp", kan du jämföra ditt resultat med andras, beställa fler spel och utmana dina vänner. Du får uppdatera ditt resultat så ofta du vill. Varje spel har tio vinnare.

Om du vinner och anger vilken vän som skickade spelet till dig, vinner även din vän ett bonuspris. Med funktionen "Utmana dina vänner" under "Koppla upp" skickar du spelet vidare till dina vänner tillsammans med en utmaning.

Vinnarna utses när tävlingsperioden är slut. Endast personer som är bosatta i Sverige och har lämnat korrekta uppgifter deltar i tävlingen. Eventuell vinstskatt betalas av vinnaren.
)";

// "@SITE@" stands for the competition site's name.
inline constexpr std::string_view aboutKvippaText = R"(Om Kvippa

Kvippa ger dig som konsument ett gratis spel i stället för vanlig reklam. Nya spel kommer ut efter hand, och du kan prenumerera på dem utan kostnad genom att anmäla dig på @SITE@.

Varje spel är en egen tävling om de högsta registrerade poängen, och den som skickade ett vinnande spel vidare vinner ett bonuspris. I den gemensamma tävlingen rankas alla som har spelat samtliga aktuella Kvippaspel efter sina sammanlagda poäng.

Konceptet och spelen har tagits fram av Kvippa och Zifra.

Lycka till med spelandet!
)";
