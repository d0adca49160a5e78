#include "net/score_submission.h"

#include <cstdio>
#include <utility>

#include "build_settings.h"
#include "net/machine_facts.h"
#include "net/server_response.h"
#include "platform/http.h"

namespace {

constexpr char formHeader[] = "Content-Type: application/x-www-form-urlencoded";

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
    ProgramChecksum program = programChecksum();
    body += "&f8=" + scrambleField(decimal(program.checksum));
    body += "&f9=" + scrambleField(decimal(program.byteCount));
    body += "&fa=" + scrambleField(decimal(record.score) + record.userName);
    std::uint32_t sum = program.byteCount + static_cast<std::uint32_t>(record.score);
    body += "&fb=" + scrambleField(decimal(static_cast<std::int32_t>(sum)));
    return body;
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
