#pragma once
// The program's own file.
#include <string>

namespace platform {

// Full path of the running program's file (at most 1023 characters).
std::string modulePath();

}  // namespace platform
