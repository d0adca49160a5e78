#pragma once
// Where a new game's seed comes from. A shell that plays for itself hands
// the calendar second; one that plays a competition's game hands the seed
// (and the ticket that names it) that the competition gave out.
#include <functional>

#include "game/game_seed.h"

// Asked once for every world the program builds.
using SeedSource = std::function<GameSeed()>;

// The game the player plays for himself: seeded with the calendar second, as
// every world always was.
GameSeed calendarSeed();
