#pragma once
// Sending a score: one HTTP form post of the record to the competition
// server, whose short text answer becomes the record's outcome.
#include <cstdint>
#include <string>
#include <string_view>

#include "net/http_binding.h"
#include "net/submission_form.h"
#include "net/submission_record.h"

// The request handle of the current attempt.
extern InternetHandle scoreRequest;

// Opens the connection, posts the record and closes again; the outcome is
// left in resultCode, message and versionNumber.
void submitScore(SubmissionRecord& record);

// Posts the record on the open serverConnection and reads the answer. Negates
// the record's score first when its integrityFlag is set.
void postScore(SubmissionRecord& record);
