#pragma once

// Where a cue that passed the gate goes. The program links the Win32 player, which starts the
// "WAVE" resource asynchronously (cutting off any cue still sounding) and ignores failures;
// portable tests link a recording fake.
namespace sound_output {

void startCue(int cueId, void* module);

}  // namespace sound_output
