#include "net/score_submission.h"

#include <utility>

#include "build_settings.h"
#include "net/machine_facts.h"
#include "net/server_response.h"
#include "net/submission_form.h"
#include "platform/http.h"

namespace {

constexpr char formHeader[] = "Content-Type: application/x-www-form-urlencoded";

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
    ProgramChecksum program = programChecksum();
    form.checksum = program.checksum;
    form.byteCount = program.byteCount;
    return formBody(form);
}

}  // namespace

void submitScore(SubmissionRecord& record) {
    const platform::HttpForm form{competitionHost, static_cast<std::uint16_t>(competitionPort), "/r0002.asp",
                                  formHeader};
    platform::HttpAnswer answer = platform::postForm(form, [&record] {
        // Negated as two's complement does it, so the lowest score stays
        // itself instead of overflowing.
        if (record.integrityFlag) {
            record.score = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(record.score));
        }
        return submissionBody(record);
    });
    if (answer.answered) {
        takeResponse(record, std::move(answer.text));
    } else {
        // Without an answer the version number stands.
        record.resultCode = answer.code;
        record.message = std::move(answer.text);
    }
}
