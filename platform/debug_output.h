#pragma once
// The debugger output: the program's one diagnostic channel.

namespace platform {

// Writes `text` as it stands (the caller supplies any line end).
void writeDebugOutput(const char* text);

}  // namespace platform
