#include "shells/web/text_bridge.h"

#include <gtest/gtest.h>

namespace {

TEST(TextBridge, UtfEightFromThePageBecomesUtfSixteenAndNothingMalformedSlipsThrough) {
    struct Case {
        std::string_view utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"anna@example.se", u"anna@example.se"},
        {"\xC3\xA5\xC3\xA4\xC3\xB6", u"\u00E5\u00E4\u00F6"},  // å ä ö
        {"\xE2\x82\xAC", u"\u20AC"},                           // the euro sign, three bytes
        {"\xF0\x9F\x98\x80", u"\U0001F600"},                   // four bytes, a surrogate pair
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                         // an over-long '/'
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},               // over-long in three bytes
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},               // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // past U+10FFFF
        {"a\x80" "b", u"a\uFFFDb"},                            // a stray continuation byte
        {"a\xC3", u"a\uFFFD"},                                 // cut short at the end
        {"\xC3(", u"\uFFFD("},                                 // cut short by the next character
        {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) EXPECT_EQ(utf16FromUtf8(c.utf8), c.utf16) << c.utf8;
}

TEST(TextBridge, UtfSixteenAndTheCodePageBecomeUtfEight) {
    EXPECT_EQ(utf8FromUtf16(u"Po\u00E4ng \U0001F600"), "Po\xC3\xA4ng \xF0\x9F\x98\x80");
    EXPECT_EQ(utf8FromUtf16(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");  // a lone surrogate
    EXPECT_EQ(utf8FromUtf16(u"\xDC00x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(utf8FromCodePage1252("F\xF6rs\xF6k igen \x80"), "F\xC3\xB6rs\xC3\xB6k igen \xE2\x82\xAC");
}

TEST(TextBridge, JsonStringsEscapeWhatWouldEndOrBreakThem) {
    struct Case {
        std::string_view utf8;
        std::string json;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"s\xC3\xA5 \"h\xC3\xA4r\"", "\"s\xC3\xA5 \\\"h\xC3\xA4r\\\"\""},
        {"a\\b", "\"a\\\\b\""},
        {"rad\r\nny\tflik", "\"rad\\u000d\\u000any\\u0009flik\""},
        {std::string_view("\0", 1), "\"\\u0000\""},
        {"\xE2\x80\xA8\xE2\x80\xA9", "\"\\u2028\\u2029\""},
        {"</script>", "\"</script>\""},
    };
    for (const Case& c : cases) EXPECT_EQ(jsonString(c.utf8), c.json) << c.utf8;
}

}  // namespace
