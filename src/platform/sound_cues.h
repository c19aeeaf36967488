#pragma once

// The sound cues: "WAVE" resources played on request, behind the user's on/off switch and a
// gate that keeps every other cue quiet for 3.3 s after a long (basket) cue has started.

// Plays cue `cueId` (its resource number) from `module`, the instance handle holding the
// resources, unless sound is off or the gate is closed. Dropped requests leave no trace.
void playCue(int cueId, void* module);

// Whether the gate lets a cue through; a closed gate reopens here once 3.3 s have passed.
bool cueGateIsOpen();

// Flips the switch and returns its new state. A cue already sounding plays on.
bool toggleSound();
bool isSoundEnabled();

extern bool soundEnabled;  // the user's switch; on at every start
extern bool cueGateOpen;   // closed from the start of a long cue; timed by cueGateClock
