#pragma once
// What the system says of its processor.

namespace platform {

// The processor type of the system information (386, 486, 586, 8664, ...).
int processorType();

}  // namespace platform
