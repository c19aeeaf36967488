#include "platform/display_refresh_choice.h"

#include <algorithm>

namespace {

using Ticks = std::int64_t;

bool plausible(Ticks period, Ticks perSecond) {
    return period > 0 && period >= perSecond / 1000 && period <= perSecond / 10;
}

// The monitor's period to the nearest tick, or 0 where its rate is unknown or implausible.
Ticks monitorPeriod(const RefreshReport& r) {
    if (r.monitorNumerator == 0 || r.monitorDenominator == 0) return 0;
    const Ticks period = (r.ticksPerSecond * r.monitorDenominator + r.monitorNumerator / 2) / r.monitorNumerator;
    return plausible(period, r.ticksPerSecond) ? period : 0;
}

}  // namespace

DisplayRefresh chooseRefresh(const RefreshReport& r) {
    const Ticks perSecond = r.ticksPerSecond;
    if (perSecond <= 0) return {};
    const Ticks compositor = r.compositorTiming && plausible(r.compositorPeriod, perSecond) ? r.compositorPeriod : 0;
    const Ticks monitor = monitorPeriod(r);

    const Ticks sixty = (perSecond + 30) / 60;
    DisplayRefresh chosen{sixty, 0};
    if (compositor && monitor) {
        const bool agree = std::max(compositor, monitor) - std::min(compositor, monitor) <= monitor / 50;
        chosen = agree ? DisplayRefresh{compositor, r.compositorVBlank} : DisplayRefresh{std::max(compositor, monitor), 0};
    } else if (compositor) {
        chosen = {compositor, r.compositorVBlank};
    } else if (monitor) {
        chosen = {monitor, 0};
    }
    // A rate within 2 % of 60 is 60 (Wine's compositor reports 166,666 ticks of 10 MHz).
    if (!r.composition && chosen.period < sixty - sixty / 50) chosen = {sixty, 0};
    return chosen;
}
