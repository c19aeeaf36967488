#include <windows.h>

#include "platform/dpi_awareness.h"
#include "win/dpi.h"

namespace {

// The awareness contexts are pseudo-handles with fixed values.
const HANDLE contextPerMonitor = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3));
const HANDLE contextPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));
constexpr int processPerMonitorAware = 2;

using SetContextFn = BOOL(WINAPI*)(HANDLE);
using GetThreadContextFn = HANDLE(WINAPI*)();
using AreContextsEqualFn = BOOL(WINAPI*)(HANDLE, HANDLE);
using GetContextAwarenessFn = int(WINAPI*)(HANDLE);
using SetProcessAwarenessFn = HRESULT(WINAPI*)(int);
using GetProcessAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
using SetAwareFn = BOOL(WINAPI*)();
using IsAwareFn = BOOL(WINAPI*)();

template <typename Fn>
Fn as(FARPROC f) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(f));
}

Awareness fromLevel(int level) {
    switch (level) {
    case 1: return Awareness::system;
    case 2: return Awareness::perMonitor;
    default: return Awareness::unaware;
    }
}

}  // namespace

Awareness enableDpiAwareness() {
    AwarenessCalls calls;
    if (auto set = as<SetContextFn>(user32Function("SetProcessDpiAwarenessContext"))) {
        calls.setContext = [set](Awareness a) {
            return set(a == Awareness::perMonitorV2 ? contextPerMonitorV2 : contextPerMonitor) != FALSE;
        };
        calls.lastError = [] { return static_cast<unsigned long>(GetLastError()); };
    }
    if (auto set = as<SetProcessAwarenessFn>(shcoreFunction("SetProcessDpiAwareness")))
        calls.setPerMonitor = [set] { return static_cast<long>(set(processPerMonitorAware)); };
    if (auto set = as<SetAwareFn>(user32Function("SetProcessDPIAware")))
        calls.setSystemAware = [set] { return set() != FALSE; };

    auto thread = as<GetThreadContextFn>(user32Function("GetThreadDpiAwarenessContext"));
    auto equal = as<AreContextsEqualFn>(user32Function("AreDpiAwarenessContextsEqual"));
    auto level = as<GetContextAwarenessFn>(user32Function("GetAwarenessFromDpiAwarenessContext"));
    auto process = as<GetProcessAwarenessFn>(shcoreFunction("GetProcessDpiAwareness"));
    auto isAware = as<IsAwareFn>(user32Function("IsProcessDPIAware"));
    if (thread && equal && level) {
        calls.current = [thread, equal, level] {
            HANDLE context = thread();
            if (equal(context, contextPerMonitorV2)) return Awareness::perMonitorV2;
            return fromLevel(level(context));
        };
    } else if (process) {
        calls.current = [process] {
            int got = 0;
            return SUCCEEDED(process(nullptr, &got)) ? fromLevel(got) : Awareness::unaware;
        };
    } else if (isAware) {
        calls.current = [isAware] { return isAware() ? Awareness::system : Awareness::unaware; };
    }
    return requestPerMonitorAwareness(calls);
}
