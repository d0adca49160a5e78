#include "app/game_seed.h"

#include "platform/calendar.h"

GameSeed calendarSeed() { return {static_cast<std::uint32_t>(platform::calendarSeconds()), {}}; }
