#include "windows/net_window.h"

#include "res/resource_ids.h"
#include "windows/set_layout.h"
#include "windows/window_regions.h"

NetWindow::NetWindow(Window* owner_)
    : SpriteWindow(set_layout::netClass, set_layout::net.width, set_layout::net.height, 0, IDB_NET, 1,
                   owner_, false) {}

bool NetWindow::onCreate() {
    if (!SpriteWindow::onCreate()) return false;
    // The backboard's start corner plus the net's place under the hoop.
    SetWindowPos(hwnd, nullptr, set_layout::startX + set_layout::netOffsetX,
                 set_layout::startY + set_layout::netOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    return shapeWindow(hwnd, createNetRegion());
}

void NetWindow::onKeyDown(WPARAM key, unsigned short, unsigned short) {
    // net -> ball -> scoreboard -> backboard -> host
    if (key == VK_ESCAPE) DestroyWindow(GetParent(GetParent(GetParent(GetParent(hwnd)))));
}
