#pragma once

// The Win32 sound output's player. winmm is no KnownDLL: PlaySoundA is looked up in the system
// folder on the first cue, never imported.
#include <windows.h>

namespace sound_output {

using PlaySoundFunction = BOOL(WINAPI*)(LPCSTR sound, HMODULE module, DWORD flags);
// winmm's PlaySoundA, or null where the system has none (the cues are then silent).
PlaySoundFunction systemPlaySound();
// What startCue calls instead of the system's, where set: the Win32 tests' recorder.
extern PlaySoundFunction playSoundOverride;

}  // namespace sound_output
