// Runs the main loop with a stand-in ball for a while in each way of waiting, and beside them
// a loop that polls without ever waiting, and prints for each the processor time per second
// of wall time and the intervals between steps.
//
// Lines "start <name>" and "end <name>" mark each phase, so that a script can sample the
// processor time of other processes (Wine's server) over exactly that phase.

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/main_loop.h"
#include "clocks.h"

namespace {

double processCpuSeconds() { return cpuSecondsOf(GetCurrentProcess()); }

// Notes when it is stepped and ends the loop after the given time.
class StandInBall : public FlightStepper {
public:
    explicit StandInBall(double seconds) : runSeconds(seconds) {
        stepTimes.reserve(static_cast<size_t>(seconds * 100) + 16);
        startTime = counterSeconds();
    }

    void flightStep() override {
        const double now = counterSeconds();
        stepTimes.push_back(now);
        if (now - startTime >= runSeconds && !quitPosted) {
            PostQuitMessage(0);
            quitPosted = true;
        }
    }

    std::vector<double> stepTimes;

private:
    double runSeconds;
    double startTime;
    bool quitPosted = false;
};

// Nearest-rank percentile of sorted values.
double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0.0;
    size_t rank = static_cast<size_t>(p / 100.0 * static_cast<double>(sorted.size()) + 0.999999);
    rank = std::min(std::max<size_t>(rank, 1), sorted.size());
    return sorted[rank - 1];
}

enum class Loop { none, polling, timer, timedWaits };

void measure(Loop loop, const char* name, double seconds) {
    std::printf("start %s\n", name);
    std::fflush(stdout);
    StandInBall ball(seconds);
    const double wallStart = counterSeconds();
    const double cpuStart = processCpuSeconds();
    switch (loop) {
        case Loop::none: Sleep(static_cast<DWORD>(seconds * 1000.0)); break;
        case Loop::polling: runMainLoop(ball, StepWake::never); break;
        case Loop::timer: runMainLoop(ball, StepWake::best); break;
        case Loop::timedWaits: runMainLoop(ball, StepWake::timedWaits); break;
    }
    const double cpu = processCpuSeconds() - cpuStart;
    const double wall = counterSeconds() - wallStart;
    std::printf("end %s\n", name);

    std::vector<double> intervals;
    for (size_t i = 1; i < ball.stepTimes.size(); ++i)
        intervals.push_back((ball.stepTimes[i] - ball.stepTimes[i - 1]) * 1000.0);
    std::sort(intervals.begin(), intervals.end());
    std::printf("result %s: wall %.2f s, cpu %.4f s per s", name, wall, cpu / wall);
    if (!intervals.empty()) {
        std::printf(", steps %u, interval median %.2f ms, p99 %.2f ms (min %.2f, max %.2f)",
                    static_cast<unsigned>(ball.stepTimes.size()), percentile(intervals, 50),
                    percentile(intervals, 99), intervals.front(), intervals.back());
    }
    std::printf("\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: main_loop_measure [seconds per loop]\n");
        return 2;
    }
    // What the process and the Wine server cost with no loop at all, for reference.
    measure(Loop::none, "no-loop-just-sleep", seconds);
    measure(Loop::timer, "sleeping-waitable-timer", seconds);
    measure(Loop::timedWaits, "sleeping-timed-waits", seconds);
    measure(Loop::polling, "polling-baseline", seconds);
    return 0;
}
