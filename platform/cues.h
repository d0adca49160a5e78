#pragma once
// Sound cues: the WAVE resources, played asynchronously and once. Only the
// Windows shell plays them; the game hands them out with each step.

namespace platform {

// Starts cue `id`, cutting off any cue still sounding; returns at once.
// Failure to play is silent.
void playCue(int id);

}  // namespace platform
