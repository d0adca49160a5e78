#pragma once
// Sending a score: one HTTP form post of the record to the competition
// server, whose short text answer becomes the record's outcome.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/http_binding.h"
#include "net/submission_record.h"

// Scrambles every form value but the game id.
inline constexpr std::uint8_t fieldKey[8] = {0x3C, 0x91, 0xD4, 0x0E, 0x6B, 0xA2, 0x58, 0x17};

// The request handle of the current attempt.
extern InternetHandle scoreRequest;

// Opens the connection, posts the record and closes again; the outcome is
// left in resultCode, message and versionNumber.
void submitScore(SubmissionRecord& record);

// Posts the record on the open serverConnection and reads the answer. Negates
// the record's score first when its integrityFlag is set.
void postScore(SubmissionRecord& record);

// Each byte exclusive-or the key byte of its place in the field (the key
// starts again for every field), as two upper-case hexadecimal digits.
std::string scrambleField(std::string_view text);
