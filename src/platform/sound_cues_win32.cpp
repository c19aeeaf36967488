#include <windows.h>
#include <mmsystem.h>

#include "platform/sound_output.h"
#include "platform/sound_output_win32.h"
#include "win/system_library.h"

static_assert((SND_RESOURCE | SND_ASYNC) == 0x40005, "resource, asynchronous, nothing else");

namespace sound_output {

PlaySoundFunction playSoundOverride = nullptr;

PlaySoundFunction systemPlaySound() {
    static const auto playSound = systemFunction<PlaySoundFunction>("winmm.dll", "PlaySoundA");
    return playSound;
}

void startCue(int cueId, void* module) {
    const PlaySoundFunction play = playSoundOverride ? playSoundOverride : systemPlaySound();
    if (!play) return;
    // SND_RESOURCE | SND_ASYNC (0x40005) and nothing else: the call returns at once and a
    // missing resource or sound device is silently nothing.
    play(MAKEINTRESOURCEA(cueId & 0xFFFF), static_cast<HMODULE>(module), SND_RESOURCE | SND_ASYNC);
}

}  // namespace sound_output
