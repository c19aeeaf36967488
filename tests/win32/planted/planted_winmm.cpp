// A winmm.dll such as a stranger could leave beside the program in a Downloads folder: it
// exports what the program once imported from winmm and, once loaded, leaves a file named
// planted_winmm_loaded beside itself.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    char path[MAX_PATH + 32];
    DWORD folder = reason == DLL_PROCESS_ATTACH ? GetModuleFileNameA(self, path, MAX_PATH) : 0;
    while (folder > 0 && path[folder - 1] != '\\') --folder;
    if (folder == 0) return TRUE;
    lstrcpyA(path + folder, "planted_winmm_loaded");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI timeGetTime() { return GetTickCount(); }
__declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT) { return 0; }
__declspec(dllexport) UINT WINAPI timeEndPeriod(UINT) { return 0; }
__declspec(dllexport) BOOL WINAPI PlaySoundA(LPCSTR, HMODULE, DWORD) { return FALSE; }

}  // extern "C"
