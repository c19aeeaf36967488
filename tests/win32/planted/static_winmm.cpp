// A program that imports winmm statically, as basketball.exe once did: the loader looks for
// winmm.dll beside it first, so the planted one is loaded.
#include <windows.h>
#include <mmsystem.h>

int main() { return timeGetTime() == 0 ? 1 : 0; }
