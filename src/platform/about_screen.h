#pragma once

#include <windows.h>

// The modal picture with the instructions for play, centred on the screen; a click, Enter or
// Esc closes it. Made fresh for each showing.
class AboutScreen {
public:
    AboutScreen(HINSTANCE instance, HWND ownerWindow);
    ~AboutScreen();
    AboutScreen(const AboutScreen&) = delete;
    AboutScreen& operator=(const AboutScreen&) = delete;

    // Runs the modal screen; returns the EndDialog code, or 0 when the picture is missing.
    int show();
    void paint(HDC dc);

    HINSTANCE instance;
    HWND ownerWindow;
    HBITMAP bitmap = nullptr;
    int bitmapWidth = 0;
    int bitmapHeight = 0;
};

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
