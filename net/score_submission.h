#pragma once
// Sending a score: one HTTP form post of the record to the competition
// server, whose short text answer becomes the record's outcome.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/submission_record.h"

// Scrambles every form value but the game id.
inline constexpr std::uint8_t fieldKey[8] = {0x3C, 0x91, 0xD4, 0x0E, 0x6B, 0xA2, 0x58, 0x17};

// Posts the record as the eleven-field form to the competition server and
// reads the answer; blocks for seconds (the speed count alone takes three).
// The outcome is left in resultCode, message and versionNumber; the record's
// score is negated first when its integrityFlag is set and the connection
// could be opened.
void submitScore(SubmissionRecord& record);

// Each byte exclusive-or the key byte of its place in the field (the key
// starts again for every field), as two upper-case hexadecimal digits.
std::string scrambleField(std::string_view text);
