#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win/window.h"
#include "win32/slot_recorder.h"
#include "win32/window_test_support.h"

// Activation is the system's business: Wine already activates a window from create's frame
// refresh, before onCreate, and deactivates it on destruction. Where it does not matter, the
// sequences are compared without onActivateApp.

namespace {

// A window with adjustable answers. It validates what it is asked to paint (the base onPaint
// does not), so a shown one does not keep the queue busy.
class ProbeWindow : public Window {
public:
    ProbeWindow(const char* name, Window* owner = nullptr, bool hidden = true,
                bool transparent = false)
        : Window(name, 60, 40, 0, owner, transparent, hidden) {}

    void onPaint() override { ValidateRect(hwnd, nullptr); }
    bool onCreate() override { return createResult; }
    bool onCommand(WPARAM, LPARAM) override { return commandResult; }
    LRESULT onUserMessage(UINT, WPARAM, LPARAM) override { return userResult; }

    bool createResult = true;
    bool commandResult = true;
    LRESULT userResult = 0x5A5A;
};

using RecordedProbe = Recording<ProbeWindow>;
using RecordedBase = Recording<Window>;

const int noObjectExitCode = static_cast<int>(0x80004003u);

std::string classOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

struct ClassSearch {
    const char* name;
    int found;
};

BOOL CALLBACK countClass(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ClassSearch*>(param);
    if (classOf(hwnd) == search->name) ++search->found;
    return TRUE;
}

int windowsOfClass(const char* name) {
    ClassSearch search{name, 0};
    EnumThreadWindows(GetCurrentThreadId(), countClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

using WindowCreate = WindowTest;

TEST_F(WindowCreate, MessagesSentDuringCreationReachNoSlotAndAShownWindowStartsWithOnCreate) {
    const char* name = uniqueClassName("fw-create");
    SlotLog log;
    RecordedProbe window(log, name, nullptr, false);

    // While CreateWindowExA runs, WM_CREATE arrives with no object bound yet: messages sent to
    // the window from there must take the unbound path, a WM_DESTROY among them.
    bool sentDuringCreate = false;
    MessageSpy spy([&](const MessageSpy::Seen& seen) {
        if (seen.message == WM_CREATE && classOf(seen.hwnd) == name && !sentDuringCreate) {
            sentDuringCreate = true;
            SendMessageA(seen.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
            SendMessageA(seen.hwnd, WM_USER + 1, 0, 0);
            SendMessageA(seen.hwnd, WM_COMMAND, 40005, 0);
            SendMessageA(seen.hwnd, WM_DESTROY, 0, 0);
        }
        if (seen.message == WM_WINDOWPOSCHANGING && classOf(seen.hwnd) == name &&
            (seen.position.flags & SWP_FRAMECHANGED) != 0) {
            log.add("", "SetWindowPos(frame changed)");
        }
    });

    ASSERT_TRUE(window.create(instance));

    EXPECT_TRUE(sentDuringCreate);
    EXPECT_TRUE(spy.sawMessage(WM_NCCREATE));
    int exitCode = 0;
    EXPECT_TRUE(takeQuit(&exitCode));
    EXPECT_EQ(noObjectExitCode, exitCode);

    // Activation comes when the system decides; everything else is in a fixed order.
    ASSERT_FALSE(log.entries.empty());
    EXPECT_TRUE(sameCalls({"SetWindowPos(frame changed)", slotCall("onCreate"), slotCall("onPaint")},
                          log.without("onActivateApp")));
    EXPECT_TRUE(IsWindowVisible(window.hwnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<Window*>(&window)),
              GetWindowLongPtrA(window.hwnd, 0));
}

TEST_F(WindowCreate, AHiddenWindowOnlyGetsOnCreate) {
    SlotLog log;
    RecordedProbe window(log, uniqueClassName("fw-hidden"), nullptr, true);
    ASSERT_TRUE(window.create(instance));
    pumpMessages();
    EXPECT_TRUE(sameCalls({slotCall("onCreate")}, log.without("onActivateApp")));
    EXPECT_FALSE(IsWindowVisible(window.hwnd));
}

TEST_F(WindowCreate, ASecondCreateOfARegisteredClassNameFailsWithoutAWindow) {
    const char* name = uniqueClassName("fw-twice");
    SlotLog firstLog;
    SlotLog secondLog;
    RecordedProbe first(firstLog, name);
    RecordedProbe second(secondLog, name);

    ASSERT_TRUE(first.create(instance));
    EXPECT_FALSE(second.create(instance));

    EXPECT_EQ(nullptr, second.hwnd);
    EXPECT_EQ(instance, second.instance);
    EXPECT_TRUE(secondLog.entries.empty());
    EXPECT_EQ(1, windowsOfClass(name));
}

// The extended registration record is 80 bytes on 64-bit builds; a fixed 48 would be refused.
TEST_F(WindowCreate, RegisterClassRegistersEveryFieldOnce) {
    const char* name = uniqueClassName("fw-register");
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_SAVEBITS;
    wc.lpfnWndProc = windowProc;
    wc.cbClsExtra = 8;
    wc.cbWndExtra = sizeof(Window*);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = name;

    ASSERT_NE(0, registerClass(wc));
    EXPECT_EQ(0, registerClass(wc));

    WNDCLASSEXA back{};
    back.cbSize = sizeof back;
    ASSERT_TRUE(GetClassInfoExA(instance, name, &back));
    EXPECT_EQ(wc.style, back.style);
    EXPECT_EQ(reinterpret_cast<void*>(windowProc), reinterpret_cast<void*>(back.lpfnWndProc));
    EXPECT_EQ(8, back.cbClsExtra);
    EXPECT_EQ(static_cast<int>(sizeof(Window*)), back.cbWndExtra);
    EXPECT_EQ(wc.hCursor, back.hCursor);
    EXPECT_EQ(wc.hbrBackground, back.hbrBackground);
    EXPECT_EQ(nullptr, back.lpszMenuName);
}

TEST_F(WindowCreate, OnCreateFailingClosesTheWindowPostsQuitAndFails) {
    SlotLog log;
    RecordedProbe window(log, uniqueClassName("fw-fail"), nullptr, false);
    window.createResult = false;

    EXPECT_FALSE(window.create(instance));

    EXPECT_FALSE(IsWindow(window.hwnd));
    EXPECT_TRUE(sameCalls({slotCall("onCreate"), slotCall("onDestroy")}, log.without("onActivateApp")));
    int exitCode = -1;
    EXPECT_TRUE(takeQuit(&exitCode));
    EXPECT_EQ(0, exitCode);
}

// Window styles as the system reports them: the bits we ask for must all be there, and the
// ones that belong to the other kind of window must not.
TEST_F(WindowCreate, OwnedAndTopLevelWindowsGetTheirStylesAndClass) {
    SlotLog log;
    RecordedProbe top(log, uniqueClassName("fw-top"), nullptr, false);
    RecordedProbe owned(log, uniqueClassName("fw-owned"), &top, false);
    RecordedProbe see(log, uniqueClassName("fw-seethrough"), &top, true, true);
    ASSERT_TRUE(top.create(instance));
    ASSERT_TRUE(owned.create(instance));
    ASSERT_TRUE(see.create(instance));

    const DWORD topLevel = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const LONG topStyle = GetWindowLongA(top.hwnd, GWL_STYLE);
    const LONG topEx = GetWindowLongA(top.hwnd, GWL_EXSTYLE);
    EXPECT_EQ(0x80CA0000u, topLevel);
    EXPECT_EQ(topLevel, static_cast<DWORD>(topStyle) & topLevel);
    EXPECT_NE(0, topStyle & WS_VISIBLE);
    EXPECT_NE(0, topEx & WS_EX_APPWINDOW);
    EXPECT_EQ(0, topEx & (WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT));
    EXPECT_EQ(nullptr, GetWindow(top.hwnd, GW_OWNER));

    const LONG ownedStyle = GetWindowLongA(owned.hwnd, GWL_STYLE);
    const LONG ownedEx = GetWindowLongA(owned.hwnd, GWL_EXSTYLE);
    EXPECT_NE(0, ownedStyle & WS_POPUP);
    EXPECT_EQ(0, ownedStyle & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME));
    EXPECT_NE(0, ownedEx & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0, ownedEx & (WS_EX_APPWINDOW | WS_EX_TRANSPARENT));
    EXPECT_EQ(top.hwnd, GetWindow(owned.hwnd, GW_OWNER));

    EXPECT_NE(0, GetWindowLongA(see.hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_NE(0, GetWindowLongA(see.hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(IsWindowVisible(see.hwnd));

    // Created at (0, 0) with the object's size; titled with the class name.
    RECT rect;
    GetWindowRect(owned.hwnd, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(60, rect.right);
    EXPECT_EQ(40, rect.bottom);
    char title[64] = "";
    GetWindowTextA(owned.hwnd, title, sizeof title);
    EXPECT_STREQ(owned.className, title);

    // The class: own DC, saved bits, no erasing, the arrow, one pointer of extra bytes.
    EXPECT_EQ(static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_SAVEBITS),
              GetClassLongA(owned.hwnd, GCL_STYLE));
    EXPECT_EQ(0x0823u, GetClassLongA(owned.hwnd, GCL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(sizeof(void*)), GetClassLongA(owned.hwnd, GCL_CBWNDEXTRA));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(NULL_BRUSH)),
              GetClassLongPtrA(owned.hwnd, GCLP_HBRBACKGROUND));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadCursorA(nullptr, IDC_ARROW)),
              GetClassLongPtrA(owned.hwnd, GCLP_HCURSOR));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(static_cast<Window*>(&owned)),
              GetWindowLongPtrA(owned.hwnd, 0));
}

TEST_F(WindowCreate, DestroyingTheOwnerDestroysTheOwnedWindowToo) {
    SlotLog log;
    RecordedProbe top(log, uniqueClassName("fw-owner"), nullptr, false);
    RecordedProbe owned(log, uniqueClassName("fw-ownee"), &top, false);
    top.tag = "owner";
    owned.tag = "owned";
    ASSERT_TRUE(top.create(instance));
    ASSERT_TRUE(owned.create(instance));
    pumpMessages();
    log.clear();

    DestroyWindow(top.hwnd);

    EXPECT_FALSE(IsWindow(owned.hwnd));
    std::vector<std::string> destroyed = log.without("onActivateApp");
    std::sort(destroyed.begin(), destroyed.end());
    EXPECT_TRUE(sameCalls({"owned.onDestroy()", "owner.onDestroy()"}, destroyed));
    EXPECT_TRUE(takeQuit());
}

using WindowDispatch = WindowTest;

struct Row {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string slot;  // the call expected, or "" for default processing
    LRESULT result;
};

// Each row sent on its own; the rows that reach a slot and those that do not are compared as
// one table, "message: call".
void expectRows(Window& window, SlotLog& log, const std::vector<Row>& rows) {
    std::vector<std::string> expected;
    std::vector<std::string> actual;
    for (const Row& row : rows) {
        log.clear();
        const LRESULT result = SendMessageA(window.hwnd, row.message, row.wParam, row.lParam);
        expected.push_back(std::string(row.name) + ": " + (row.slot.empty() ? "-" : row.slot));
        std::string calls;
        for (const std::string& entry : log.entries) calls += (calls.empty() ? "" : " ") + entry;
        actual.push_back(std::string(row.name) + ": " + (calls.empty() ? "-" : calls));
        if (row.result != -1) {
            EXPECT_EQ(row.result, result) << row.name;
        }
    }
    EXPECT_TRUE(sameCalls(expected, actual));
}

TEST_F(WindowDispatch, EachMessageReachesItsSlotWithItsArguments) {
    SlotLog log;
    RecordedProbe window(log, uniqueClassName("fw-dispatch"));
    ASSERT_TRUE(window.create(instance));
    HMENU menu = CreatePopupMenu();
    const auto menuArg = reinterpret_cast<WPARAM>(menu);
    // A key-down lParam as the system builds it: bit 31 set, so negative (and sign-extended
    // on 64-bit builds); the repeat count and flags must still come out unsigned.
    const auto keyFlags = static_cast<LPARAM>(static_cast<LONG>(0xC0010003u));

    expectRows(window, log, {
        {"WM_PAINT", WM_PAINT, 0, 0, slotCall("onPaint"), 0},
        {"WM_ACTIVATEAPP on", WM_ACTIVATEAPP, 5, 0x1234, slotCall("onActivateApp", true, 0x1234u), 0},
        {"WM_ACTIVATEAPP off", WM_ACTIVATEAPP, 0, 77, slotCall("onActivateApp", false, 77u), 0},
        {"WM_KEYDOWN", WM_KEYDOWN, VK_ESCAPE, keyFlags, slotCall("onKeyDown", 27u, 3u, 0xC001u), 0},
        {"WM_COMMAND", WM_COMMAND, 40005, 0x10, slotCall("onCommand", 40005u, 0x10), 1},
        {"WM_TIMER", WM_TIMER, 42, 0, slotCall("onTimer", 42u), 0},
        {"WM_INITMENU", WM_INITMENU, menuArg, 0, slotCall("onInitMenu", menu), 0},
        {"WM_INITMENUPOPUP", WM_INITMENUPOPUP, menuArg, MAKELPARAM(2, TRUE),
         slotCall("onInitMenuPopup", menu), 0},
        {"WM_MOUSEMOVE", WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 20),
         slotCall("onMouseMove", 1u, 10, 20), 0},
        {"WM_MOUSEMOVE left above", WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFEFFFFu),
         slotCall("onMouseMove", 0u, -1, -2), 0},
        {"WM_LBUTTONDOWN", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4),
         slotCall("onLButtonDown", 1u, 3, 4), 0},
        {"WM_LBUTTONUP extremes", WM_LBUTTONUP, 0, static_cast<LPARAM>(0x80007FFFu),
         slotCall("onLButtonUp", 0u, 32767, -32768), 0},
        {"WM_RBUTTONDOWN", WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, MAKELPARAM(50, 39),
         slotCall("onRButtonDown", 6u, 50, 39), 0},
        {"WM_RBUTTONUP", WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(0, 0), slotCall("onRButtonUp", 4u, 0, 0), 0},
        {"WM_CAPTURECHANGED", WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window.hwnd),
         slotCall("onCaptureChanged", window.hwnd), 0},
        {"WM_CAPTURECHANGED to none", WM_CAPTURECHANGED, 0, 0,
         slotCall("onCaptureChanged", static_cast<HWND>(nullptr)), 0},
        {"0x0400", 0x0400, 5, 6, slotCall("onUserMessage", 0x0400u, 5u, 6), 0x5A5A},
        {"0x7FFF", 0x7FFF, 7, -8, slotCall("onUserMessage", 0x7FFFu, 7u, -8), 0x5A5A},
        {"0x03FF", 0x03FF, 0, 0, "", 0},
        {"0x8000", 0x8000, 0, 0, "", 0},
        {"WM_LBUTTONDBLCLK", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 4), "", 0},
        {"WM_KEYUP", WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u), "", 0},
        {"WM_CHAR", WM_CHAR, 'a', 1, "", 0},
        {"WM_NCHITTEST", WM_NCHITTEST, 0, MAKELPARAM(5, 5), "", -1},
        {"WM_SETCURSOR", WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "", -1},
    });

    DestroyMenu(menu);
}

TEST_F(WindowDispatch, CommandReturnsWhatTheSlotSays) {
    SlotLog log;
    RecordedProbe window(log, uniqueClassName("fw-command"));
    ASSERT_TRUE(window.create(instance));

    window.commandResult = true;
    EXPECT_EQ(1, SendMessageA(window.hwnd, WM_COMMAND, 40002, 0));
    window.commandResult = false;
    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_COMMAND, 40003, 0));
    EXPECT_TRUE(sameCalls({slotCall("onCreate"), slotCall("onCommand", 40002u, 0),
                           slotCall("onCommand", 40003u, 0)},
                          log.without("onActivateApp")));
}

// The base slots: onCommand and onUserMessage answer what default processing answers.
TEST_F(WindowDispatch, BaseSlotsDeferToDefaultProcessing) {
    SlotLog log;
    RecordedBase window(log, uniqueClassName("fw-base"), 30, 20, 0u, nullptr, false, true);
    ASSERT_TRUE(window.create(instance));

    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_COMMAND, 40004, 0));
    EXPECT_EQ(DefWindowProcA(window.hwnd, WM_USER + 9, 1, 2),
              SendMessageA(window.hwnd, WM_USER + 9, 1, 2));
    EXPECT_TRUE(sameCalls({slotCall("onCreate"), slotCall("onCommand", 40004u, 0),
                           slotCall("onUserMessage", 0x0409u, 1u, 2)},
                          log.without("onActivateApp")));
}

// Posted messages come through the queue, in order, and the system's own timer message too.
TEST_F(WindowDispatch, PostedAndSystemMessagesReachTheirSlotsInOrder) {
    SlotLog log;
    RecordedProbe window(log, uniqueClassName("fw-posted"));
    ASSERT_TRUE(window.create(instance));
    log.clear();

    PostMessageA(window.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageA(window.hwnd, WM_MOUSEMOVE, MK_LBUTTON, static_cast<LPARAM>(0xFFFEFFFFu));
    PostMessageA(window.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 300));
    PostMessageA(window.hwnd, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(window.hwnd, WM_USER + 2, 3, 4);
    PostMessageA(window.hwnd, WM_APP, 3, 4);
    pumpMessages();
    EXPECT_TRUE(sameCalls({slotCall("onLButtonDown", 1u, 10, 10), slotCall("onMouseMove", 1u, -1, -2),
                           slotCall("onLButtonUp", 0u, 200, 300),
                           slotCall("onKeyDown", 27u, 1u, 1u),
                           slotCall("onUserMessage", 0x0402u, 3u, 4)},
                          log.entries));

    log.clear();
    ASSERT_NE(0u, SetTimer(window.hwnd, 7, 10, nullptr));
    const DWORD start = GetTickCount();
    while (log.entries.empty() && GetTickCount() - start < 2000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pumpMessages();
    }
    KillTimer(window.hwnd, 7);
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(slotCall("onTimer", 7u), log.entries.front());
}

TEST_F(WindowDispatch, CloseDestroysTheWindowWhichPostsItsExitCode) {
    SlotLog log;
    RecordedProbe window(log, uniqueClassName("fw-close"));
    ASSERT_TRUE(window.create(instance));
    window.exitCode = 5;
    log.clear();

    EXPECT_EQ(0, SendMessageA(window.hwnd, WM_CLOSE, 0, 0));

    EXPECT_FALSE(IsWindow(window.hwnd));
    EXPECT_TRUE(sameCalls({slotCall("onDestroy")}, log.without("onActivateApp")));
    int exitCode = 0;
    EXPECT_TRUE(takeQuit(&exitCode));
    EXPECT_EQ(5, exitCode);
}

TEST_F(WindowDispatch, DestroyingAWindowWithNoObjectPostsQuitWithPointerError) {
    const char* name = uniqueClassName("fw-unbound");
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.cbWndExtra = sizeof(Window*);
    wc.hInstance = instance;
    wc.lpszClassName = name;
    ASSERT_NE(0, registerClass(wc));
    HWND hwnd = CreateWindowExA(0, name, name, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                instance, nullptr);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_FALSE(takeQuit());

    EXPECT_EQ(0, SendMessageA(hwnd, WM_USER, 0, 0));  // default processing, no object
    DestroyWindow(hwnd);

    int exitCode = 0;
    EXPECT_TRUE(takeQuit(&exitCode));
    EXPECT_EQ(noObjectExitCode, exitCode);
}

}  // namespace
