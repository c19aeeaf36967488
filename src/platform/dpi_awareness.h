#pragma once

// Asking the system for per-monitor DPI awareness at start-up, on every Windows from 7 to 11
// in one program: each call is looked up at run time, and the chain goes from the newest to
// the oldest. Portable: the calls come in as a table, so the chain runs in native tests too.
#include <functional>

enum class Awareness { unaware, system, perMonitor, perMonitorV2 };

struct AwarenessCalls {
    // Each is empty where the system lacks the function.
    // SetProcessDpiAwarenessContext with the context for `awareness`; false on failure.
    std::function<bool(Awareness awareness)> setContext;
    // The error of the last failed call (GetLastError).
    std::function<unsigned long()> lastError;
    // shcore's SetProcessDpiAwareness(per monitor): its HRESULT.
    std::function<long()> setPerMonitor;
    // SetProcessDPIAware.
    std::function<bool()> setSystemAware;
    // What the process has now.
    std::function<Awareness()> current;
};

// Tries per-monitor v2, per-monitor, shcore's per-monitor, then system awareness, and returns
// what the process ended up with (read back where the system can say). A refusal because the
// awareness is already set (by the manifest or the system) ends the chain.
Awareness requestPerMonitorAwareness(const AwarenessCalls& calls);

// The chain with the system's own calls (Win32 programs only).
Awareness enableDpiAwareness();
