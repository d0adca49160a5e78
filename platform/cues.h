#pragma once
// Sound cues: the WAVE resources, played asynchronously and once.

namespace platform {

// Starts cue `id`, cutting off any cue still sounding; returns at once.
// Failure to play is silent.
void playCue(int id);

}  // namespace platform
