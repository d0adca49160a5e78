#include <gtest/gtest.h>

#include "net/server_response.h"

namespace {

TEST(TrimResponse, RemovesBlanksAndLineEndsFromBothEndsOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {" \t\r\n", ""},
        {"\r\n0\r\n5\r\n", "0\r\n5"},
        {"\t1 2\t", "1 2"},
        {"\v7\f", "\v7\f"},  // only the four named characters go
    };
    for (const auto& [text, trimmed] : cases) {
        std::string t = text;
        trimResponse(t);
        EXPECT_EQ(t, trimmed);
    }
}

TEST(TakeResponse, ReadsTheResultCodeAndTheVersionNumber) {
    struct Case {
        std::string response;
        std::int32_t resultCode, versionNumber;
        std::string message;
    };
    const Case cases[] = {
        {"0", 0, 0, "0"},
        {"0\r\n5\r\n", 0, 5, "0\r\n5"},
        {"\n2\r\n3", 2, 3, "2\r\n3"},  // the leading line feed is trimmed first
        {"1 refused\r\n7 new", 1, 7, "1 refused\r\n7 new"},
        {"+2", 2, 0, "+2"},
        {"-17\n-1", -17, -1, "-17\n-1"},
        {"0\nno version", 0, 0, "0\nno version"},
        {"99999999999\n4", INT32_MAX, 4, "99999999999\n4"},
        // Answers that do not begin with a number are no acceptance.
        {"", notANumberResult, 0, ""},
        {"\r\n", notANumberResult, 0, ""},
        {"<html>Proxy error</html>", notANumberResult, 0, "<html>Proxy error</html>"},
        {"OK\n6", notANumberResult, 6, "OK\n6"},
        {"- 1", notANumberResult, 0, "- 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.response);
        SubmissionRecord record;
        takeResponse(record, c.response);
        EXPECT_EQ(record.resultCode, c.resultCode);
        EXPECT_EQ(record.versionNumber, c.versionNumber);
        EXPECT_EQ(record.message, c.message);
    }
}

TEST(TakeResponse, KeepsTheFirst255CharactersAsTheMessage) {
    SubmissionRecord record;
    takeResponse(record, "1\n" + std::string(300, 'x'));
    EXPECT_EQ(record.message, "1\n" + std::string(253, 'x'));
}

}  // namespace
