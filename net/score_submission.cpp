#include "net/score_submission.h"

#include <cstdio>
#include <vector>

#include "net/machine_facts.h"
#include "net/server_response.h"
#include "platform/library.h"

InternetHandle scoreRequest = nullptr;

namespace {

constexpr char formHeader[] = "Content-Type: application/x-www-form-urlencoded";
constexpr std::uint32_t maxResponseBytes = 16383;

std::string decimal(std::int32_t value) { return std::to_string(value); }
std::string decimal(std::uint32_t value) { return std::to_string(value); }

// The eleven fields in the server's order; the speed count and the checksum
// are taken as their fields are reached.
std::string submissionBody(const SubmissionRecord& record) {
    std::string body;
    body += "f1=" + scrambleField(record.userName);
    body += "&f2=" + decimal(record.gameId);
    body += "&f3=" + scrambleField(record.password);
    body += "&f4=" + scrambleField(decimal(record.score));
    body += "&f5=" + scrambleField(decimal(static_cast<std::int32_t>(record.playTime)));
    body += "&f6=" + scrambleField(decimal(measureSpeed()));
    body += "&f7=" + scrambleField(cpuTypeText());
    body += "&f8=" + scrambleField(decimal(programChecksum()));
    body += "&f9=" + scrambleField(decimal(programByteCount));
    body += "&fa=" + scrambleField(decimal(record.score) + record.userName);
    std::uint32_t sum = programByteCount + static_cast<std::uint32_t>(record.score);
    body += "&fb=" + scrambleField(decimal(static_cast<std::int32_t>(sum)));
    return body;
}

// One read of the answer; a failed read leaves the version number as it was.
void readAnswer(SubmissionRecord& record) {
    std::vector<char> response(maxResponseBytes);
    std::uint32_t received = 0;
    if (InternetReadFile(scoreRequest, response.data(), maxResponseBytes, &received)) {
        takeResponse(record, std::string(response.data(), received));
    } else {
        recordLastResponse(record, platform::lastError());
    }
}

}  // namespace

void submitScore(SubmissionRecord& record) {
    if (!openServerConnection(record)) return;
    postScore(record);
    closeServerConnection();
}

void postScore(SubmissionRecord& record) {
    // Negated as two's complement does it, so the lowest score stays itself
    // instead of overflowing.
    if (record.integrityFlag) record.score = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(record.score));

    // A missing request records why and the attempt goes on: the send then
    // fails for want of it and records its own failure, which stays.
    scoreRequest = HttpOpenRequestA(serverConnection, "POST", "/r0002.asp", nullptr, nullptr, nullptr, 0, 0);
    if (!scoreRequest) recordLastResponse(record, platform::lastError());

    std::string body = submissionBody(record);
    if (HttpSendRequestA(scoreRequest, formHeader, sizeof formHeader - 1, body.data(),
                         static_cast<std::uint32_t>(body.size()))) {
        readAnswer(record);
    } else {
        // A request that was not sent has no answer: reading one anyway may
        // "succeed" with nothing, which must not count as an answer.
        recordLastResponse(record, platform::lastError());
    }
    InternetCloseHandle(scoreRequest);
}

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
