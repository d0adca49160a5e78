#pragma once
// Sending a score: one HTTP form post of the record to the competition
// server, whose short text answer becomes the record's outcome.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/submission_record.h"

// Posts the record as the eleven-field form to the competition server and
// reads the answer; blocks for seconds (the speed count alone takes three).
// The outcome is left in resultCode, message and versionNumber; the record's
// score is negated first when its integrityFlag is set and the connection
// could be opened.
void submitScore(SubmissionRecord& record);
