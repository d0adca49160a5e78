#include "net/score_submission.h"

#include <vector>

#include "net/machine_facts.h"
#include "net/server_response.h"
#include "platform/library.h"

InternetHandle scoreRequest = nullptr;

namespace {

constexpr char formHeader[] = "Content-Type: application/x-www-form-urlencoded";
constexpr std::uint32_t maxResponseBytes = 16383;

// The record's form; the speed count is measured first, then the checksum.
std::string submissionBody(const SubmissionRecord& record) {
    SubmissionForm form;
    form.userName = record.userName;
    form.gameId = record.gameId;
    form.password = record.password;
    form.score = record.score;
    form.playTime = record.playTime;
    form.speedCount = measureSpeed();
    form.processorText = cpuTypeText();
    form.checksum = programChecksum();
    form.byteCount = programByteCount;
    return formBody(form);
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
    if (record.integrityFlag) record.score = -record.score;

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
