#include <windows.h>

#include "app/main_loop.h"

namespace system_wait {

bool armTimer(void* timer, long hundredsOfNanoseconds) {
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(hundredsOfNanoseconds);  // negative: relative
    return SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != FALSE;
}

unsigned long forMessageOr(void* handle, unsigned long milliseconds, unsigned long mask) {
    HANDLE handles[1] = {handle};
    return MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? handles : nullptr, milliseconds, mask,
                                       MWMO_INPUTAVAILABLE);
}

}  // namespace system_wait
