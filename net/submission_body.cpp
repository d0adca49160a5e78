#include "net/submission_body.h"

#include <utility>

#include "net/server_response.h"
#include "net/submission_form.h"

std::string submissionBody(const SubmissionRecord& record, const SubmissionFacts& facts) {
    SubmissionForm form;
    form.userName = record.userName;
    form.gameId = record.gameId;
    form.password = record.password;
    form.score = record.score;
    form.playTime = record.playTime;
    form.speedCount = facts.speedCount;
    form.processorText = facts.processorText;
    form.checksum = facts.program.checksum;
    form.byteCount = facts.program.byteCount;
    return formBody(form);
}

void negateDistrustedScore(SubmissionRecord& record) {
    if (record.integrityFlag) record.score = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(record.score));
}

void takeHttpAnswer(SubmissionRecord& record, platform::HttpAnswer answer) {
    if (answer.answered) {
        takeResponse(record, std::move(answer.text));
    } else {
        record.resultCode = answer.code;
        record.message = std::move(answer.text);
    }
}
