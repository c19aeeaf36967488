#include "platform/dpi_awareness.h"

namespace {

constexpr unsigned long errorAccessDenied = 5;
constexpr long hresultOk = 0;
constexpr long hresultAccessDenied = static_cast<long>(0x80070005UL);

Awareness readBack(const AwarenessCalls& calls, Awareness otherwise) {
    return calls.current ? calls.current() : otherwise;
}

}  // namespace

Awareness requestPerMonitorAwareness(const AwarenessCalls& calls) {
    if (calls.setContext) {
        for (Awareness wanted : {Awareness::perMonitorV2, Awareness::perMonitor}) {
            if (calls.setContext(wanted)) return readBack(calls, wanted);
            // Already set: another call cannot change it.
            if (calls.lastError && calls.lastError() == errorAccessDenied)
                return readBack(calls, Awareness::unaware);
        }
    }
    if (calls.setPerMonitor) {
        const long result = calls.setPerMonitor();
        if (result == hresultOk) return readBack(calls, Awareness::perMonitor);
        if (result == hresultAccessDenied) return readBack(calls, Awareness::unaware);
    }
    if (calls.setSystemAware && calls.setSystemAware()) return readBack(calls, Awareness::system);
    return readBack(calls, Awareness::unaware);
}
