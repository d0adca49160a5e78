// zifra-sim's key script reader, over any text: it gives a script of known
// keys at ticks from 0 on, or a reason.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tools/sim/key_script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string error;
    std::optional<KeyScript> script = readKeyScript(in, "keys.txt", error);
    if (!script) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    for (const auto& [tick, events] : *script) {
        if (tick < 0 || events.empty()) __builtin_trap();
    }
    return 0;
}
