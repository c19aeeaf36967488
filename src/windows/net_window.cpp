#include "windows/net_window.h"

#include "res/resource_ids.h"
#include "windows/set_layout.h"
#include "windows/set_scale.h"
#include "windows/window_regions.h"

NetWindow::NetWindow(Window* owner_)
    : SetSpriteWindow(set_layout::netClass, set_layout::net.width, set_layout::net.height, 0, IDB_NET, 1,
                   owner_, false) {}

bool NetWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    // The backboard's start corner plus the net's place under the hoop.
    using set_scale::scaled;
    SetWindowPos(hwnd, nullptr, scaled(set_layout::startX, dpi) + scaled(set_layout::netOffsetX, dpi),
                 scaled(set_layout::startY, dpi) + scaled(set_layout::netOffsetY, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return true;
}

HRGN NetWindow::createShape() { return createNetRegion(dpi); }

// The set's scale is the board's, which places and rescales the net. A move from here would
// be a move inside the system's own, which can carry the net back and start the next change.
void NetWindow::onDpiChanged(unsigned, const RECT&) {}

void NetWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    // net -> ball -> scoreboard -> backboard -> host
    if (key == VK_ESCAPE) DestroyWindow(GetParent(GetParent(GetParent(GetParent(hwnd)))));
}
