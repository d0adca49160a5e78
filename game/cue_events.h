#pragma once
// The sound cues a world started, in order: wave resource ids. The game only
// notes them; the shell plays them (or records them), so a game runs the
// same with sound, without it, and on any thread.
#include <vector>

using CueEvents = std::vector<int>;
