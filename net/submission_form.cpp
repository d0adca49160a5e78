#include "net/submission_form.h"

#include <charconv>
#include <cstdio>

namespace {

std::string decimal(std::int32_t value) { return std::to_string(value); }
std::string decimal(std::uint32_t value) { return std::to_string(value); }

// The whole text as a number of type T in the form "%d" or "%u" writes it.
template <typename T>
std::optional<T> wholeNumber(std::string_view text) {
    T value{};
    if (text.empty() || text.front() == '+') return std::nullopt;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The fields' texts in order (f2 as it came, the others unscrambled), or
// nothing when the body does not hold exactly the eleven keys in order.
std::optional<std::array<std::string, 11>> fieldTexts(std::string_view body) {
    std::array<std::string, 11> texts;
    for (std::size_t i = 0; i < formFieldKeys.size(); ++i) {
        std::string_view key = formFieldKeys[i];
        if (i > 0) {
            if (body.empty() || body.front() != '&') return std::nullopt;
            body.remove_prefix(1);
        }
        if (body.substr(0, key.size()) != key || body.substr(key.size(), 1) != "=") return std::nullopt;
        body.remove_prefix(key.size() + 1);
        std::string_view value = body.substr(0, body.find('&'));
        body.remove_prefix(value.size());
        if (key == "f2") {
            texts[i] = value;
        } else if (auto text = unscrambleField(value)) {
            texts[i] = *text;
        } else {
            return std::nullopt;
        }
    }
    if (!body.empty()) return std::nullopt;
    return texts;
}

}  // namespace

std::string scrambleField(std::string_view text) {
    std::string scrambled;
    scrambled.reserve(2 * text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%2.2X", static_cast<std::uint8_t>(text[i]) ^ fieldKey[i % 8]);
        scrambled += digits;
    }
    return scrambled;
}

std::optional<std::string> unscrambleField(std::string_view scrambled) {
    if (scrambled.size() % 2) return std::nullopt;
    std::string text;
    text.reserve(scrambled.size() / 2);
    for (std::size_t i = 0; i < scrambled.size(); i += 2) {
        int high = hexDigit(scrambled[i]), low = hexDigit(scrambled[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        text += static_cast<char>((high << 4 | low) ^ fieldKey[(i / 2) % 8]);
    }
    return text;
}

std::string formBody(const SubmissionForm& form) {
    std::string body;
    body += "f1=" + scrambleField(form.userName);
    body += "&f2=" + decimal(form.gameId);
    body += "&f3=" + scrambleField(form.password);
    body += "&f4=" + scrambleField(decimal(form.score));
    body += "&f5=" + scrambleField(decimal(static_cast<std::int32_t>(form.playTime)));
    body += "&f6=" + scrambleField(decimal(form.speedCount));
    body += "&f7=" + scrambleField(form.processorText);
    body += "&f8=" + scrambleField(decimal(form.checksum));
    body += "&f9=" + scrambleField(decimal(form.byteCount));
    body += "&fa=" + scrambleField(decimal(form.score) + form.userName);
    std::uint32_t sum = form.byteCount + static_cast<std::uint32_t>(form.score);
    body += "&fb=" + scrambleField(decimal(static_cast<std::int32_t>(sum)));
    return body;
}

ReadForm readFormBody(std::string_view body) {
    ReadForm result;
    auto texts = fieldTexts(body);
    if (!texts) return result;
    const auto& [userName, gameId, password, score, playTime, speedCount, processorText, checksum, byteCount,
                 scoreAndName, sum] = *texts;
    if (userName.empty() || userName.size() > maxUserNameLength || password.empty() ||
        password.size() > maxPasswordLength || processorText.size() > maxFormProcessorText) {
        return result;
    }
    // No dialog types a NUL, and a database that takes text as C strings
    // would drop what follows it while another keeps it.
    for (const std::string& text : {userName, password, processorText}) {
        if (text.find('\0') != std::string::npos) return result;
    }
    auto gameIdValue = wholeNumber<std::int32_t>(gameId);
    auto scoreValue = wholeNumber<std::int32_t>(score);
    auto playTimeValue = wholeNumber<std::int32_t>(playTime);
    auto speedValue = wholeNumber<std::int32_t>(speedCount);
    auto checksumValue = wholeNumber<std::uint32_t>(checksum);
    auto byteCountValue = wholeNumber<std::uint32_t>(byteCount);
    auto sumValue = wholeNumber<std::int32_t>(sum);
    if (!gameIdValue || !scoreValue || !playTimeValue || !speedValue || !checksumValue || !byteCountValue ||
        !sumValue || scoreAndName.size() > score.size() + maxUserNameLength) {
        return result;
    }
    result.form = {userName,      *gameIdValue,   password,       *scoreValue,   static_cast<std::uint32_t>(*playTimeValue),
                   *speedValue,   processorText, *checksumValue, *byteCountValue};
    bool consistent = scoreAndName == score + userName &&
                      static_cast<std::uint32_t>(*sumValue) == *byteCountValue + static_cast<std::uint32_t>(*scoreValue);
    result.outcome = consistent ? FormReading::read : FormReading::inconsistent;
    return result;
}
