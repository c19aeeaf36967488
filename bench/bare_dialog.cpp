// The least a Windows program can do to show a window: one message box. How long Wine takes
// to show it is Wine's own start-up, the baseline for the program's.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "bare", "bare", MB_OK);
    return 0;
}
