// Code page 1252 both ways: every byte that stands for a character comes
// back as itself, and a character without a byte is refused, never replaced.
#include <gtest/gtest.h>

#include "app/code_page_1252.h"

namespace {

bool standsForNoCharacter(unsigned byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

TEST(CodePage1252, EveryByteThatStandsForACharacterComesBack) {
    std::string all;
    for (unsigned byte = 1; byte < 256; ++byte) {
        if (!standsForNoCharacter(byte)) all += static_cast<char>(byte);
    }
    CodePageText back = toCodePage1252(fromCodePage1252(all));
    EXPECT_FALSE(back.refused);
    EXPECT_EQ(back.bytes, all);
}

TEST(CodePage1252, KnowsTheCharactersOfTheUpperBytes) {
    EXPECT_EQ(fromCodePage1252("g\xF6ran \x80\x85\x8A\x99\x9F\x81"), u"göran €…Š™Ÿ\uFFFD");
    EXPECT_EQ(toCodePage1252(u"Åsa–Örn‘€’").bytes, "\xC5sa\x96\xD6rn\x91\x80\x92");
}

TEST(CodePage1252, RefusesTheFirstCharacterWithoutAByte) {
    const std::pair<std::u16string, char32_t> cases[] = {
        {u"Ωpw", U'Ω'},
        {u"pwΩЖ", U'Ω'},
        {u"anna@Жx.se", U'Ж'},
        {u"\u0081", 0x81},                         // a byte's number, but no character of the code page
        {u"fisk\U0001F41F", 0x1F41F},              // outside the basic plane: the whole character is named
        {{u'a', char16_t{0xD800}, u'b'}, 0xD800},  // half of a pair, alone
        {u"\u2126", 0x2126},                       // the ohm sign, which a best fit would make an O
    };
    for (const auto& [text, refused] : cases) {
        CodePageText result = toCodePage1252(text);
        EXPECT_EQ(result.refused, refused) << static_cast<unsigned>(refused);
        EXPECT_EQ(result.bytes, "") << "nothing is half taken";
    }
}

}  // namespace
