#include "platform/about_screen.h"

#include "platform/about_layout.h"
#include "platform/pictures.h"
#include "res/resource_ids.h"
#include "win/dpi.h"
#include "win/gdi.h"

AboutScreen::AboutScreen(HINSTANCE instance_, HWND ownerWindow_)
    : instance(instance_), ownerWindow(ownerWindow_) {}

AboutScreen::~AboutScreen() {
    if (bitmap) DeleteObject(bitmap);
}

int AboutScreen::show() {
    if (!bitmap) {
        // At the scale of the monitor it opens on: the primary, where it is centred.
        const int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
        bitmap = loadPicture(instance, IDB_ABOUT, monitorDpi(MonitorFromPoint(POINT{cx, cy}, MONITOR_DEFAULTTOPRIMARY)));
        if (!bitmap) return 0;
    }
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    bitmapWidth = bm.bmWidth;
    bitmapHeight = bm.bmHeight;
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), ownerWindow,
                                            aboutDialogProc, reinterpret_cast<LPARAM>(this)));
}

void AboutScreen::paint(HDC dc) {
    drawBitmap(dc, bitmap, bitmapWidth, bitmapHeight);
}

namespace {

// Windows 10 1703 and later: the dialog manager, on its own, resizes a dialog moved onto a
// monitor of another scale (it is made on its owner's monitor, then moved) and crops the picture.
void keepDialogSize(HWND dialog) {
    using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    constexpr int ddcDisableAll = 0x0001;
    static const auto setBehavior = reinterpret_cast<SetDialogDpiChangeBehaviorFn>(
        reinterpret_cast<void*>(user32Function("SetDialogDpiChangeBehavior")));
    if (setBehavior) setBehavior(dialog, ddcDisableAll, ddcDisableAll);
}

}  // namespace

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        // Pointer-sized on 64-bit Windows: GWL_USERDATA would keep only half of it.
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        const auto* about = reinterpret_cast<const AboutScreen*>(lParam);
        const AboutOrigin at =
            aboutScreenOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                              about->bitmapWidth, about->bitmapHeight);
        keepDialogSize(dialog);
        MoveWindow(dialog, at.x, at.y, about->bitmapWidth, about->bitmapHeight, TRUE);
        return FALSE;
    }
    case WM_DPICHANGED:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;  // the picture's size stays, whatever the system suggests
    case WM_ERASEBKGND:
        if (auto* about = reinterpret_cast<AboutScreen*>(GetWindowLongPtrA(dialog, GWLP_USERDATA)))
            about->paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_COMMAND: {
        // Enter and Esc reach the screen through the dialog manager as IDOK and IDCANCEL.
        const WORD id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
        return FALSE;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        EndDialog(dialog, IDOK);
        return FALSE;
    default:
        return FALSE;
    }
}
