// The competition server's answer, whatever comes back: trimming leaves a
// piece of the answer with no white space at its ends, and the message is
// the first characters of that piece.
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/server_response.h"

namespace {

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    std::string trimmed = answer;
    trimResponse(trimmed);
    if (!trimmed.empty() && (isTrimmed(trimmed.front()) || isTrimmed(trimmed.back()))) __builtin_trap();
    if (answer.find(trimmed) == std::string::npos) __builtin_trap();

    SubmissionRecord record;
    takeResponse(record, answer);
    if (record.message != trimmed.substr(0, maxMessageLength)) __builtin_trap();
    if (trimmed.empty() && record.resultCode != notANumberResult) __builtin_trap();
    return 0;
}
