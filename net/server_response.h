#pragma once
// The competition server's answer: a result code on the first line and an
// optional version number on the second.
#include <string>

#include "net/submission_record.h"

// Removes spaces, tabs, carriage returns and line feeds from both ends.
void trimResponse(std::string& text);

// The answer that was read, into resultCode, versionNumber and message. An
// answer that does not begin with a number (an empty body, a proxy's error
// page) is no acceptance: its resultCode is notANumberResult.
void takeResponse(SubmissionRecord& record, std::string text);

inline constexpr std::int32_t notANumberResult = -3;
