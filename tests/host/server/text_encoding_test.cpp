#include <gtest/gtest.h>

#include "server/text_encoding.h"

namespace {

TEST(TextEncoding, CodePage1252AndUtf8GoBothWays) {
    struct Case {
        std::string cp1252, utf8;
    };
    const Case cases[] = {
        {"anna@example.se", "anna@example.se"},
        {"\xE5\xE4\xF6\xC5\xC4\xD6", "åäöÅÄÖ"},
        {"\x80\x8A\x9F\xFF", "€ŠŸÿ"},
        {"\x81", "\xC2\x81"},  // undefined in the code page: its control character
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8FromCp1252(c.cp1252), c.utf8);
        EXPECT_EQ(cp1252FromUtf8(c.utf8), c.cp1252);
    }
}

TEST(TextEncoding, TextOutsideTheCodePageOrBrokenUtf8HasNoCodePageForm) {
    for (std::string text : {"→", "日本", "\xC3", "\xC3\x28", "\xC0\xAF", "\xED\xA0\x80", "\xF8\x88\x80\x80\x80"}) {
        EXPECT_FALSE(cp1252FromUtf8(text)) << text;
    }
    EXPECT_TRUE(isPrintableUtf8("Åsa Öberg"));
    EXPECT_FALSE(isPrintableUtf8("a\tb"));
    EXPECT_FALSE(isPrintableUtf8("a\xC2\x85" "b"));
    EXPECT_FALSE(isPrintableUtf8("\xFF"));
    EXPECT_EQ(characterCount("åäö"), 3u);
}

TEST(TextEncoding, NameKeysIgnoreTheCaseOfEveryLetterOfTheCodePageAndSpacesAtTheEnds) {
    EXPECT_EQ(nameKey("Åsa.ÖBERG@Exempel.SE"), "åsa.öberg@exempel.se");
    EXPECT_EQ(nameKey(" \tÅsa Öberg \r\n"), "åsa öberg");
    EXPECT_EQ(nameKey("ŠŒŽŸ×"), "šœžÿ×");
    EXPECT_EQ(nameKey("日本"), "日本");
}

}  // namespace
