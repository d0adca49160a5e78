#include "tools/sim/sim_options.h"

#include <charconv>

#include "game/replay.h"

namespace {

bool parseNumber(const std::string& text, std::int64_t minimum, std::int64_t& out) {
    const char* end = text.data() + text.size();
    auto [rest, problem] = std::from_chars(text.data(), end, out);
    return problem == std::errc{} && rest == end && out >= minimum;
}

}  // namespace

std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--bench") {
            options.bench = true;
            continue;
        }
        bool takesValue = name == "--time" || name == "--frames" || name == "--keys" || name == "--trace" ||
                          name == "--png" || name == "--every" || name == "--record" || name == "--ticket" ||
                          name == "--seed";
        if (!takesValue) {
            error = "unknown option " + name;
            return std::nullopt;
        }
        if (i + 1 == args.size()) {
            error = "option " + name + " needs a value";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        bool valid = true;
        if (name == "--time") {
            valid = parseNumber(value, INT64_MIN, options.calendarSeconds);
        } else if (name == "--frames") {
            valid = parseNumber(value, 0, options.frames);
        } else if (name == "--every") {
            valid = parseNumber(value, 1, options.every);
        } else if (name == "--keys") {
            options.keysFile = value;
        } else if (name == "--trace") {
            options.traceFile = value;
        } else if (name == "--record") {
            options.recordFile = value;
        } else if (name == "--ticket") {
            options.ticket = value;
            valid = ticketIsValid(value);
        } else if (name == "--seed") {
            std::int64_t seed = 0;
            valid = parseNumber(value, 0, seed) && seed <= UINT32_MAX;
            options.seed = static_cast<std::uint32_t>(seed);
        } else {
            options.pngDirectory = value;
        }
        if (!valid) {
            error = "bad value for " + name + ": " + value;
            return std::nullopt;
        }
    }
    return options;
}
