#include "windows/host_window.h"

#include "windows/set_layout.h"
#include "windows/set_scale.h"

HostWindow::HostWindow(int startX_, int startY_)
    : Window(set_layout::hostClass, 0, 0, 0, nullptr, false, false), startX(startX_), startY(startY_) {}

HostWindow::~HostWindow() = default;

void HostWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    if (key == VK_ESCAPE && hwnd) SendMessageA(hwnd, WM_CLOSE, 0, 0);
}

// The set moves only by dragging the backboard: Move in the system menu would strand the host.
void HostWindow::onInitMenu(HMENU menu) { EnableMenuItem(menu, SC_MOVE, MF_BYCOMMAND | MF_GRAYED); }

void HostWindow::onInitMenuPopup(HMENU menu) {
    EnableMenuItem(menu, SC_MOVE, MF_BYCOMMAND | MF_GRAYED);
}

bool HostWindow::onCreate() {
    if (!Window::onCreate()) return false;
    // A 100 % place, measured from the primary monitor's top-left corner (0, 0).
    SetWindowPos(hwnd, nullptr, set_scale::scaled(startX, dpi), set_scale::scaled(startY, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return true;
}
