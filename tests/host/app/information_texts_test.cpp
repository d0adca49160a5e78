#include <gtest/gtest.h>

#include <string>

#include "app/information_texts.h"
#include "app/web_addresses.h"

namespace {

TEST(InformationTexts, GameRulesStandAsWritten) {
    // Line by line, in Windows-1252 ("\xE4" is the letter a-umlaut, "\xE5" a-ring, "\xF6" o-umlaut).
    const char* lines[] = {
        "Zifra Invaders",
        "",
        "Styr Servobot med piltangenterna och skicka signaler med mellanslag.",
        "",
        "Hj\xE4lp Zifra Servobot att kombinera sifferkoder. Genom att skicka impulser mot koderna hamnar de i "
        "Servobots kodlager till h\xF6ger. Det \xE4r mycket f\xF6rdelaktigt att kombinera flera siffror i rad av "
        "samma v\xE4rde i f\xF6ljd. Po\xE4ngr\xE4kningen ser ut s\xE5h\xE4r:",
        "",
        "Exempel 1, tv\xE5 brickor i rad med beteckningen 3:",
        "(3+9=12, 12 po\xE4ng)",
        "",
        "Exempel 2, tre brickor i rad med beteckningen 7:",
        "(7+21+63=91, 91 po\xE4ng)",
        "",
        "Exempel 3, fyra brickor i rad med beteckningen 4:",
        "(4+12+36+64=116, 116 po\xE4ng)",
        "En nolla r\xE4knas som 10.",
        "",
        "Brickorna skickar ut st\xF6rningsimpulser (stj\xE4rnor och fyrkanter) mot Servobot men till hans hj\xE4lp "
        "har han Vaktor figurerna. De absorberar tio st\xF6rningsimpulser var innan de f\xF6rsvinner.",
        "",
        "Var 2000:de po\xE4ng kommer det tillbaka nya Vaktor figurer.",
        "Var 10:de niv\xE5 f\xE5r Servobot ett extraliv.",
        "",
        "Lycka till!",
    };
    std::string expected;
    for (const char* line : lines) expected += std::string(line) + "\r\n";
    EXPECT_EQ(informationText(0), expected);
}

TEST(InformationTexts, EveryTextIsWindows1252WithCrLfLines) {
    const char* titles[] = {"Zifra Invaders\r\n\r\n", "T\xE4vlingsregler\r\n\r\n", "Om Kvippa\r\n\r\n"};
    for (int i = 0; i < 3; ++i) {
        std::string text = informationText(i);
        EXPECT_EQ(text.rfind(titles[i], 0), 0u) << i;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << i;
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '\n') {
                ASSERT_EQ(text[k - 1], '\r') << i << " at " << k;
            }
            ASSERT_NE(text[k], '?') << "a letter outside Windows-1252 in " << i;
        }
        EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos) << "paragraphs are separated by one empty line";
        EXPECT_EQ(text.find('\xC3'), std::string::npos) << "UTF-8 left in text " << i;
    }
}

TEST(InformationTexts, CompetitionTextsSayWhatTheyMust) {
    std::string rules = informationText(1);
    EXPECT_EQ(rules.substr(rules.size() - 43), "Eventuell vinstskatt betalas av vinnaren.\r\n");
    std::string about = informationText(2);
    EXPECT_NE(about.find(competitionSiteName()), std::string::npos);
    EXPECT_EQ(about.substr(about.size() - 27), "Lycka till med spelandet!\r\n");
}

TEST(InformationTexts, OtherIndicesHaveNoText) {
    EXPECT_EQ(informationText(-1), nullptr);
    EXPECT_EQ(informationText(3), nullptr);
}

}  // namespace
