#include <windows.h>
#include <mmsystem.h>

#include "platform/sound_output.h"

static_assert((SND_RESOURCE | SND_ASYNC) == 0x40005, "resource, asynchronous, nothing else");

namespace sound_output {

void startCue(int cueId, void* module) {
    // SND_RESOURCE | SND_ASYNC (0x40005) and nothing else: the call returns at once and a
    // missing resource or sound device is silently nothing.
    PlaySoundA(MAKEINTRESOURCEA(cueId & 0xFFFF), static_cast<HMODULE>(module),
               SND_RESOURCE | SND_ASYNC);
}

}  // namespace sound_output
