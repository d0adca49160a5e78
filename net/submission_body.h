#pragma once
// The parts of sending a score that do not touch the network: the form's
// body of a record with the facts that go with it, the distrusted score's
// sign, and what became of the post. submitScore is made of them; a shell
// whose posts cannot block (the browser's) posts the body itself.
#include <cstdint>
#include <string>

#include "net/machine_facts.h"
#include "net/submission_record.h"
#include "platform/http.h"

// What goes with a score besides the record: the speed count, the processor
// text and the program's checksum and length.
struct SubmissionFacts {
    std::int32_t speedCount = 0;
    std::string processorText;
    ProgramChecksum program;
};

// The eleven-field body of the record with these facts.
std::string submissionBody(const SubmissionRecord& record, const SubmissionFacts& facts);

// Negates the record's score when its integrityFlag is set, as two's
// complement does it, so the lowest score stays itself instead of overflowing.
void negateDistrustedScore(SubmissionRecord& record);

// The post's outcome into resultCode, message and versionNumber; without an
// answer the version number stands.
void takeHttpAnswer(SubmissionRecord& record, platform::HttpAnswer answer);
