#include <gtest/gtest.h>

#include "net/submission_form.h"

namespace {

TEST(ScrambleField, ExclusiveOrsEachByteWithItsKeyByteAsTwoHexDigits) {
    struct Case {
        std::string text, scrambled;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "5DF3B7"},
        // Nine bytes: the ninth takes the first key byte again.
        {"AAAAAAAAA", "7DD0954F2AE319567D"},
        // Bytes of 128 and above ("ä" and 0xFF in code page 1252) still give two digits.
        {"\xE4\xFF", "D86E"},
        {std::string(1, '\0'), "3C"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scrambleField(c.text), c.scrambled) << c.scrambled;
    }
}

}  // namespace
