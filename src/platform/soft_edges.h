#pragma once

// Whether the set's windows are drawn with soft edges (per-pixel alpha). Windows always blends
// a layered window with what lies beneath (the compositor, or in software without one); Wine
// does only under an X compositor, and without one shows partly covered pixels unblended, a dark
// ring. There the set keeps its hard-edged regions.
namespace soft_edges {

// What a probe saw of a half-covered pixel on the screen.
enum class Probe { notRun, blended, unblended, unknown };

// The choice from what is known: not under Wine, always; under Wine, only a probe that saw
// the pixel blended.
bool choose(bool underWine, Probe seen);

// The program's choice, made once (with the probe under Wine) and kept.
bool on();

// A 1x1 layered half-black pixel over a 1x1 opaque white window, read back from the screen
// until it is either blended or plainly not, for at most `limitMs`.
Probe probeScreen(unsigned limitMs);

// Where set (0 off, 1 on), on answers it instead of the system: the tests' choice.
extern int override_;

}  // namespace soft_edges
