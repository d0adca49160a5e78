#pragma once
// Scripted key events for zifra-sim: lines "TICK down KEY" or "TICK up KEY",
// KEY one of space left right up down f1 (fire, the arrows, newGame).
#include <cstdint>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/game_key.h"

// Events by the tick before which they happen, in file order within a tick.
using KeyScript = std::map<std::int64_t, std::vector<KeyEvent>>;

// The script of `path`, or nothing with a one-line reason in `error`.
std::optional<KeyScript> readKeyScript(const std::string& path, std::string& error);
// The script read from `in` to its end; `name` names it in the reason.
std::optional<KeyScript> readKeyScript(std::istream& in, const std::string& name, std::string& error);
// The same of a text already in hand (lines ended by LF, the last maybe not).
std::optional<KeyScript> readKeyScriptText(std::string_view text, const std::string& name, std::string& error);
