#pragma once

// Records the slot calls a window object receives, so a test can send or post real messages
// and compare what reached the object with an expected table.
//
//   SlotLog log;
//   Recording<SomeWindow> window(log, <SomeWindow's constructor arguments>);
//   ... create it, send messages ...
//   EXPECT_TRUE(sameCalls({slotCall("onCreate"), slotCall("onMouseMove", MK_LBUTTON, -1, -2)},
//                         log.entries));
//
// Recording<Base> overrides every Window slot, logs the call with its arguments and then runs
// Base's own slot, so the window keeps its real behaviour. RecordingSprite<Base> also logs
// moveTo, for SpriteWindow and its subclasses. Several windows may share one log; give each
// a `tag` to tell their calls apart ("ball.onDestroy()"). The recorder destroys its native
// window, if it still has one, before the object goes away.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "win/window.h"

// One argument as the log writes it: numbers in decimal (signed as their type is), bools as
// words, handles and pointers in hex.
inline std::string formatSlotArg(bool value) { return value ? "true" : "false"; }

template <class T>
std::string formatSlotArg(T value) {
    if constexpr (std::is_pointer_v<T>) {
        char text[32];
        std::snprintf(text, sizeof text, "0x%llx",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
        return text;
    } else if constexpr (std::is_signed_v<T>) {
        return std::to_string(static_cast<long long>(value));
    } else {
        return std::to_string(static_cast<unsigned long long>(value));
    }
}

// "name(arg, arg, ...)": the form of one log entry; tests build their expected tables with it.
template <class... Args>
std::string slotCall(const char* name, Args... args) {
    std::string text = std::string(name) + "(";
    bool first = true;
    ((text += (first ? "" : ", ") + formatSlotArg(args), first = false), ...);
    (void)first;
    return text + ")";
}

struct SlotLog {
    std::vector<std::string> entries;

    void add(const std::string& tag, std::string entry) {
        entries.push_back(tag.empty() ? std::move(entry) : tag + "." + entry);
    }
    void clear() { entries.clear(); }

    // The entries without those whose slot name starts with `prefix` (for calls the system
    // makes on its own schedule, such as onActivateApp).
    std::vector<std::string> without(const std::string& prefix) const {
        std::vector<std::string> kept;
        for (const std::string& entry : entries) {
            const std::size_t dot = entry.find('.');
            const std::size_t paren = entry.find('(');
            const std::size_t start = dot != std::string::npos && dot < paren ? dot + 1 : 0;
            if (entry.compare(start, prefix.size(), prefix) != 0) kept.push_back(entry);
        }
        return kept;
    }
};

// Equal sequences, or a failure that shows both side by side with the first difference marked.
inline ::testing::AssertionResult sameCalls(const std::vector<std::string>& expected,
                                            const std::vector<std::string>& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    std::size_t column = 8;
    for (const std::string& entry : expected) column = std::max(column, entry.size());
    std::ostringstream table;
    table << "slot calls differ\n    " << std::string("expected").append(column - 8, ' ')
          << "   actual\n";
    const std::size_t rows = std::max(expected.size(), actual.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string left = i < expected.size() ? expected[i] : "-";
        const std::string right = i < actual.size() ? actual[i] : "-";
        table << (left == right ? "    " : " >> ") << left << std::string(column - left.size(), ' ')
              << "   " << right << "\n";
    }
    return ::testing::AssertionFailure() << table.str();
}

template <class Base>
class Recording : public Base {
public:
    template <class... Args>
    explicit Recording(SlotLog& log_, Args&&... args)
        : Base(std::forward<Args>(args)...), log(log_) {}

    ~Recording() override {
        // A live window would call into a dead object; take it down while this one still works.
        if (this->hwnd != nullptr && IsWindow(this->hwnd) &&
            GetWindowLongPtrA(this->hwnd, 0) == reinterpret_cast<LONG_PTR>(static_cast<Window*>(this))) {
            DestroyWindow(this->hwnd);
        }
    }

    void onPaint() override { record(slotCall("onPaint")); Base::onPaint(); }
    void onTimer(WPARAM timerId) override {
        record(slotCall("onTimer", timerId));
        Base::onTimer(timerId);
    }
    void onKeyDown(WPARAM key, unsigned short repeat, unsigned short flags) override {
        record(slotCall("onKeyDown", key, repeat, flags));
        Base::onKeyDown(key, repeat, flags);
    }
    void onLButtonDown(WPARAM keys, int x, int y) override {
        record(slotCall("onLButtonDown", keys, x, y));
        Base::onLButtonDown(keys, x, y);
    }
    void onLButtonUp(WPARAM keys, int x, int y) override {
        record(slotCall("onLButtonUp", keys, x, y));
        Base::onLButtonUp(keys, x, y);
    }
    void onRButtonDown(WPARAM keys, int x, int y) override {
        record(slotCall("onRButtonDown", keys, x, y));
        Base::onRButtonDown(keys, x, y);
    }
    void onRButtonUp(WPARAM keys, int x, int y) override {
        record(slotCall("onRButtonUp", keys, x, y));
        Base::onRButtonUp(keys, x, y);
    }
    void onMouseMove(WPARAM keys, int x, int y) override {
        record(slotCall("onMouseMove", keys, x, y));
        Base::onMouseMove(keys, x, y);
    }
    void onInitMenu(HMENU menu) override {
        record(slotCall("onInitMenu", menu));
        Base::onInitMenu(menu);
    }
    void onInitMenuPopup(HMENU menu) override {
        record(slotCall("onInitMenuPopup", menu));
        Base::onInitMenuPopup(menu);
    }
    void onActivateApp(bool active, DWORD threadId) override {
        record(slotCall("onActivateApp", active, threadId));
        Base::onActivateApp(active, threadId);
    }
    void onDestroy() override { record(slotCall("onDestroy")); Base::onDestroy(); }
    LRESULT onUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        record(slotCall("onUserMessage", message, wParam, lParam));
        return Base::onUserMessage(message, wParam, lParam);
    }
    bool onCommand(WPARAM wParam, LPARAM lParam) override {
        record(slotCall("onCommand", wParam, lParam));
        return Base::onCommand(wParam, lParam);
    }
    bool onCreate() override { record(slotCall("onCreate")); return Base::onCreate(); }
    void onCaptureChanged(HWND newCapture) override {
        record(slotCall("onCaptureChanged", newCapture));
        Base::onCaptureChanged(newCapture);
    }

    SlotLog& log;
    std::string tag;  // prefixes this window's entries when several windows share the log

protected:
    void record(std::string entry) { log.add(tag, std::move(entry)); }
};

// For SpriteWindow and its subclasses: also logs moveTo.
template <class Base>
class RecordingSprite : public Recording<Base> {
public:
    using Recording<Base>::Recording;

    void moveTo(int x, int y, int frame) override {
        this->record(slotCall("moveTo", x, y, frame));
        Base::moveTo(x, y, frame);
    }
};
