// The admin command line's times and CSV fields.
#include <gtest/gtest.h>

#include "server/contest_admin.h"

namespace {

TEST(AdminText, UtcTimesAreReadStrictly) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> seconds;
    };
    const Case cases[] = {
        {"2027-01-01", 1798761600},
        {"2027-01-01T00:00:00Z", 1798761600},
        {"2027-01-01T00:00:01", 1798761601},
        {"2027-01-01T12:30Z", 1798806600},
        {"2028-02-29", 1835395200},
        {"2027-02-29", std::nullopt},
        {"2027-13-01", std::nullopt},
        {"2027-01-01T24:00:00Z", std::nullopt},
        {"2027-1-01", std::nullopt},
        {"2027-01-01 00:00:00", std::nullopt},
        {"2027-01-01T00:00:00+01:00", std::nullopt},
        {"", std::nullopt},
        {"igår", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseUtcTime(c.text), c.seconds) << c.text;
}

TEST(AdminText, CsvFieldsAreQuotedWhenTheyMustBeAndNeverReadAsFormulas) {
    const std::pair<const char*, const char*> cases[] = {
        {"Anna", "Anna"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"sa \"hej\"", "\"sa \"\"hej\"\"\""},
        {"rad\nrad", "\"rad\nrad\""},
        {"cr\r", "\"cr\r\""},
        {" kant", "\" kant\""},
        {"Åsa Öberg", "Åsa Öberg"},
        // What a spreadsheet would run as a formula stays text.
        {"=HYPERLINK(\"http://x\",\"1\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"1\"\")\""},
        {"+46 70", "\"'+46 70\""},
        {"-2+3", "\"'-2+3\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\t=1", "\"'\t=1\""},
        {"\r=1", "\"'\r=1\""},
        {"a=b-c", "a=b-c"},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(csvField(text), field) << text;
}

}  // namespace
