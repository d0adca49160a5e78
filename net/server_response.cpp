#include "net/server_response.h"

#include <cstdint>
#include <optional>

namespace {

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isSpace(char c) { return isTrimmed(c) || c == '\v' || c == '\f'; }

// The leading decimal number of `text` (white space, a sign, digits), or
// nothing when there are no digits. Out-of-range numbers stop at the limit.
std::optional<std::int32_t> leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (text[i] - '0');
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

}  // namespace

void trimResponse(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && isTrimmed(text[end - 1])) --end;
    std::size_t begin = 0;
    while (begin < end && isTrimmed(text[begin])) ++begin;
    text = text.substr(begin, end - begin);
}

void takeResponse(SubmissionRecord& record, std::string text) {
    trimResponse(text);
    record.resultCode = leadingNumber(text).value_or(notANumberResult);
    std::size_t lineFeed = text.find('\n');
    record.versionNumber =
        lineFeed == std::string::npos ? 0 : leadingNumber(std::string_view(text).substr(lineFeed + 1)).value_or(0);
    record.message = text.substr(0, maxMessageLength);
}
