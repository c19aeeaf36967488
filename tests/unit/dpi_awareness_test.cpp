#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dpi_awareness.h"

namespace {

constexpr unsigned long accessDenied = 5;
constexpr unsigned long invalidParameter = 87;
constexpr long ok = 0;
constexpr long eAccessDenied = static_cast<long>(0x80070005UL);

// A system by what it has and how it answers; every call is written down.
struct FakeSystem {
    bool hasContext = true, hasShcore = true, hasSystemAware = true, canReadBack = true;
    unsigned long v2Error = 0;  // 0: SetProcessDpiAwarenessContext(v2) succeeds
    unsigned long v1Error = 0;
    long shcoreResult = ok;
    Awareness already = Awareness::unaware;  // what the process has before any call

    std::vector<std::string> calls;
    Awareness now = Awareness::unaware;
    unsigned long error = 0;

    AwarenessCalls table() {
        now = already;
        AwarenessCalls t;
        if (hasContext) {
            t.setContext = [this](Awareness a) {
                const bool v2 = a == Awareness::perMonitorV2;
                calls.push_back(v2 ? "context v2" : "context v1");
                error = v2 ? v2Error : v1Error;
                if (error == 0) now = a;
                return error == 0;
            };
            t.lastError = [this] { return error; };
        }
        if (hasShcore) {
            t.setPerMonitor = [this] {
                calls.push_back("shcore");
                if (shcoreResult == ok) now = Awareness::perMonitor;
                return shcoreResult;
            };
        }
        if (hasSystemAware) {
            t.setSystemAware = [this] {
                calls.push_back("system aware");
                now = Awareness::system;
                return true;
            };
        }
        if (canReadBack) t.current = [this] { return now; };
        return t;
    }
};

TEST(DpiAwareness, TheChainStopsAtTheFirstCallTheSystemHasAndTakes) {
    struct Case {
        const char* system;
        FakeSystem fake;
        std::vector<std::string> calls;
        Awareness result;
    };
    FakeSystem win11;
    FakeSystem win10Early;  // context calls without v2
    win10Early.v2Error = invalidParameter;
    FakeSystem win81;
    win81.hasContext = false;
    FakeSystem win7;
    win7.hasContext = win7.hasShcore = false;
    FakeSystem vistaLess = win7;
    vistaLess.hasSystemAware = false;
    FakeSystem wine;  // per-monitor before the program runs: v2 refused, v1 already set
    wine.v2Error = invalidParameter;
    wine.v1Error = accessDenied;
    wine.already = Awareness::perMonitor;
    FakeSystem manifested;  // the manifest has set v2 already
    manifested.v2Error = manifested.v1Error = accessDenied;
    manifested.already = Awareness::perMonitorV2;
    FakeSystem shcoreSet = win81;  // shcore says already set: system aware would be a step down
    shcoreSet.shcoreResult = eAccessDenied;
    shcoreSet.already = Awareness::perMonitor;
    FakeSystem shcoreFails = win81;
    shcoreFails.shcoreResult = static_cast<long>(0x80070057UL);
    FakeSystem blind = win81;  // succeeds but cannot say what it has: the call's own awareness
    blind.canReadBack = false;

    const Case cases[] = {
        {"Windows 10 1703 and later", win11, {"context v2"}, Awareness::perMonitorV2},
        {"Windows 10 before v2", win10Early, {"context v2", "context v1"}, Awareness::perMonitor},
        {"Windows 8.1", win81, {"shcore"}, Awareness::perMonitor},
        {"Windows 7", win7, {"system aware"}, Awareness::system},
        {"nothing to call", vistaLess, {}, Awareness::unaware},
        {"Wine", wine, {"context v2", "context v1"}, Awareness::perMonitor},
        {"already set by the manifest", manifested, {"context v2"}, Awareness::perMonitorV2},
        {"shcore: already set", shcoreSet, {"shcore"}, Awareness::perMonitor},
        {"shcore fails otherwise", shcoreFails, {"shcore", "system aware"}, Awareness::system},
        {"no read-back", blind, {"shcore"}, Awareness::perMonitor},
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.system);
        const Awareness got = requestPerMonitorAwareness(c.fake.table());
        EXPECT_EQ(c.fake.calls, c.calls);
        EXPECT_EQ(got, c.result);
    }
}

}  // namespace
