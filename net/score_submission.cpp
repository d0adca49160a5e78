#include "net/score_submission.h"

#include <utility>

#include "build_settings.h"
#include "net/machine_facts.h"
#include "net/submission_body.h"
#include "platform/http.h"

namespace {

constexpr char formHeader[] = "Content-Type: application/x-www-form-urlencoded";

// This machine's facts: the speed count is measured first, then the checksum.
SubmissionFacts measuredFacts() {
    SubmissionFacts facts;
    facts.speedCount = measureSpeed();
    facts.processorText = cpuTypeText();
    facts.program = programChecksum();
    return facts;
}

}  // namespace

void submitScore(SubmissionRecord& record) {
    const platform::HttpForm form{competitionHost, static_cast<std::uint16_t>(competitionPort), "/r0002.asp",
                                  formHeader};
    platform::HttpAnswer answer = platform::postForm(form, [&record] {
        negateDistrustedScore(record);
        return submissionBody(record, measuredFacts());
    });
    takeHttpAnswer(record, std::move(answer));
}
