// Measures the real program under Wine, driven as a user would drive it: start-up times,
// processor time at rest and in flight, the pace of flight steps seen from outside, the peak
// working set, and the GDI and USER objects it holds before and after long play. Not a test:
// it prints figures.
//
//   program_measure basketball.exe bare_dialog.exe [--phases=startup,cpu,steps,objects]
//                   [--seconds=20] [--throws=2000] [--menus=200] [--abouts=50] [--drags=200]
//
// Lines "start <name>" and "end <name>" mark each timed phase, so that a script can sample
// the processor time of the Wine server (and of the program, from /proc) over exactly that
// phase. Lines "result ..." are the figures.
#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "clocks.h"
#include "play.h"
#include "print_line.h"
#include "windows/set_layout.h"

using namespace play;

namespace {

int phaseSeconds = 20;
int throwCount = 2000;
int menuCount = 200, aboutCount = 50, dragCount = 200;
int launches = 5;
std::string phases = "startup,cpu,steps,objects";
std::string barePath;

double now() { return counterSeconds(); }


double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    size_t rank = static_cast<size_t>(p / 100.0 * static_cast<double>(values.size()) + 0.999999);
    rank = std::min(std::max<size_t>(rank, 1), values.size());
    return values[rank - 1];
}

double median(const std::vector<double>& values) { return percentile(values, 50); }

bool wants(const char* phase) { return phases.find(phase) != std::string::npos; }

// --- start-up -----------------------------------------------------------------------------

// Launch to the first visible dialog of the process: the About screen of the program, or the
// message box of the bare program (Wine's own start, for comparison).
double launchToDialog(Program& program) {
    const double started = now();
    if (!program.start()) return -1.0;
    if (!waitUntil([&] { return findAboutScreen(program.pid) != nullptr; }, firstWindowTimeoutMs)) return -1.0;
    return (now() - started) * 1000.0;
}

// Some pixel of the backboard's picture differs from the empty screen where it will stand.
constexpr RECT backboardAtStart{set_layout::startX, set_layout::startY,
                                set_layout::startX + set_layout::backboard.width,
                                set_layout::startY + set_layout::backboard.height};

bool backboardPainted(const std::vector<DWORD>& empty) {
    return readScreen(backboardAtStart) != empty;
}

void measureStartUp() {
    std::vector<double> bare, toAbout, toPaint;
    double barePeak = 0;
    const std::vector<DWORD> empty = readScreen(backboardAtStart);
    for (int i = 0; i < launches; ++i) {
        {
            const std::string program = programPath;
            programPath = barePath;
            Program dialog;
            const double ms = launchToDialog(dialog);
            programPath = program;
            if (ms >= 0) bare.push_back(ms);
            PROCESS_MEMORY_COUNTERS memory{};
            memory.cb = sizeof memory;
            if (GetProcessMemoryInfo(dialog.process, &memory, sizeof memory))
                barePeak = std::max(barePeak, static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0);
            HWND box = findAboutScreen(dialog.pid);
            if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
            DWORD code = 0;
            dialog.waitExit(windowTimeoutMs, code);
        }
        parkMouse();
        Program program;
        const double ms = launchToDialog(program);
        if (ms < 0) {
            line("result start-up: launch %d failed", i + 1);
            continue;
        }
        toAbout.push_back(ms);
        HWND about = findAboutScreen(program.pid);
        const POINT centre = centreOf(windowRect(about));
        mouseTo(centre.x, centre.y);
        leftDown();
        // The screen closes on the release; time runs from then to the backboard on the screen.
        INPUT up{};
        up.type = INPUT_MOUSE;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        const double released = now();
        SendInput(1, &up, sizeof up);
        if (waitUntil([&] { return backboardPainted(empty); }, windowTimeoutMs))
            toPaint.push_back((now() - released) * 1000.0);
        SetWindows set;
        waitUntil([&] { return findSet(program.pid, set); }, windowTimeoutMs);
        HWND menu = openMenu(program, set);
        if (menu) chooseMenuItem(menu, menuExit);
        DWORD code = 0;
        program.waitExit(windowTimeoutMs, code);
    }
    line("result launch to first dialog, bare program (Wine's own start): median %.0f ms (min %.0f, max %.0f, %u launches)",
         median(bare), percentile(bare, 0), percentile(bare, 100), static_cast<unsigned>(bare.size()));
    line("result peak working set of the bare program (Wine's own share): %.2f MiB", barePeak);
    line("result launch to About screen: median %.0f ms (min %.0f, max %.0f); beyond Wine's own start: %.0f ms",
         median(toAbout), percentile(toAbout, 0), percentile(toAbout, 100), median(toAbout) - median(bare));
    line("result About screen closed to the set's first paint: median %.0f ms (min %.0f, max %.0f)", median(toPaint),
         percentile(toPaint, 0), percentile(toPaint, 100));
}

std::string fileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// --- processor time -----------------------------------------------------------------------

// A throw up and to the side from wherever the ball lies: a flight of a second or two.
bool throwAcross(HWND ball, int direction, int strength) {
    const POINT c = centreOf(windowRect(ball));
    const int dx = direction * strength / 3;
    return throwThrough(ball, {{c.x + dx, c.y - strength}, {c.x + 2 * dx, c.y - 2 * strength}});
}

// Throws the ball again and again for `seconds`, from one side of the screen to the other.
void keepThrowing(const SetWindows& set, double seconds, const std::function<void(bool)>& holding = {}) {
    const double until = now() + seconds;
    int direction = 1;
    while (now() < until) {
        const RECT ball = windowRect(set.ball);
        if (ball.left > 700) direction = -1;
        if (ball.left < 300) direction = 1;
        if (holding) holding(true);
        throwAcross(set.ball, direction, 40);
        if (holding) holding(false);
        const double flight = std::min(until, now() + 2.5);
        while (now() < flight) Sleep(50);
    }
}

// After the end of a quiet phase: time for the script to sample /proc before the next action,
// whose first burst of work would otherwise count toward the quiet phase.
void settle() { Sleep(1000); }

// The floor for a program at rest: a bare window with a message loop (the bare program's
// message box) left alone for as long as the program's rest is measured. Lines "watch <name>"
// tell the script which process to sample from /proc.
void measureBareRest() {
    const std::string program = programPath;
    programPath = barePath;
    Program bare;
    const bool shown = launchToDialog(bare) >= 0;
    programPath = program;
    if (!shown) {
        line("result bare window at rest: the bare program showed no window");
        return;
    }
    parkMouse();
    Sleep(1000);
    line("watch %s", fileNameOf(barePath).c_str());
    line("start bare window at rest");
    Sleep(static_cast<DWORD>(phaseSeconds) * 1000);
    line("end bare window at rest");
    settle();
    line("watch %s", fileNameOf(programPath).c_str());
    if (HWND box = findAboutScreen(bare.pid)) PostMessageA(box, WM_COMMAND, IDOK, 0);
    DWORD code = 0;
    bare.waitExit(windowTimeoutMs, code);
}

void measureCpu(Program& program, const SetWindows& set) {
    measureBareRest();

    parkMouse();
    waitForRest(set.ball);
    Sleep(1000);
    line("start rest");
    double wall = now();
    double cpu = cpuSecondsOf(program.process);
    Sleep(static_cast<DWORD>(phaseSeconds) * 1000);
    cpu = cpuSecondsOf(program.process) - cpu;
    wall = now() - wall;
    line("end rest");
    settle();
    line("result at rest over %.1f s: program cpu %.4f s per s (GetProcessTimes)", wall, cpu / wall);

    line("start flight");
    wall = now();
    cpu = cpuSecondsOf(program.process);
    keepThrowing(set, phaseSeconds);
    cpu = cpuSecondsOf(program.process) - cpu;
    wall = now() - wall;
    line("end flight");
    line("result throws and flights over %.1f s: program cpu %.4f s per s (GetProcessTimes)", wall, cpu / wall);
}

// --- flight steps, seen from outside ------------------------------------------------------

// Every change of the ball window's position, timed. Polled every millisecond or so; a step
// moves the window at once, so each change is one step, seen within about a millisecond.
class StepObserver {
public:
    explicit StepObserver(HWND watched) : ball(watched) {
        timeBeginPeriod(1);
        thread = std::thread([this] { observe(); });
    }
    ~StepObserver() {
        stop = true;
        thread.join();
        timeEndPeriod(1);
    }

    // Moves while the robot holds the ball are its own, not steps.
    void holding(bool held) {
        std::lock_guard<std::mutex> lock(mutex);
        this->held = held;
        if (held) segments.emplace_back();
    }

    // The steps of each flight: a step may move the window more than once (once per sub-step
    // of its integration, all within a millisecond or two), so moves closer than 15 ms to the
    // one before belong to the same step; a step is timed by its first move.
    std::vector<std::vector<double>> flights() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::vector<double>> steps;
        for (const std::vector<double>& moves : segments) {
            steps.emplace_back();
            for (size_t i = 0; i < moves.size(); ++i)
                if (i == 0 || moves[i] - moves[i - 1] > 0.015) steps.back().push_back(moves[i]);
        }
        return steps;
    }

private:
    void observe() {
        RECT last = windowRect(ball);
        while (!stop) {
            const RECT r = windowRect(ball);
            const double t = now();
            if (!sameRect(r, last)) {
                std::lock_guard<std::mutex> lock(mutex);
                if (!held && !segments.empty()) segments.back().push_back(t);
                last = r;
            }
            Sleep(1);
        }
    }

    HWND ball;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    bool held = true;
    std::vector<std::vector<double>> segments;
    std::thread thread;
};

void measureSteps(const SetWindows& set) {
    parkMouse();
    waitForRest(set.ball);
    std::vector<double> intervals;
    double flightSeconds = 0;
    size_t steps = 0;
    {
        StepObserver observer(set.ball);
        keepThrowing(set, phaseSeconds, [&](bool held) { observer.holding(held); });
        observer.holding(true);
        for (const std::vector<double>& flight : observer.flights()) {
            // The first move after the release may be the release itself; the ball at rest
            // ends a flight (the last move).
            for (size_t i = 2; i < flight.size(); ++i) intervals.push_back((flight[i] - flight[i - 1]) * 1000.0);
            if (flight.size() > 2) {
                flightSeconds += flight.back() - flight[1];
                steps += flight.size() - 2;
            }
        }
    }
    line("result flight steps seen from outside: %.1f per s over %.1f s of flight (%u steps); interval median %.1f ms, "
         "p99 %.1f ms, min %.1f, max %.1f",
         flightSeconds > 0 ? static_cast<double>(steps) / flightSeconds : 0.0, flightSeconds, static_cast<unsigned>(steps),
         median(intervals), percentile(intervals, 99), percentile(intervals, 0), percentile(intervals, 100));
}

// --- objects after long play --------------------------------------------------------------

void printCounts(const char* when, const Program& program) {
    const ObjectCounts c = objectCountsOf(program);
    line("result objects %s: GDI %ld, USER %ld", when, c.gdi, c.user);
}

void measureObjects(const Program& program, const SetWindows& set) {
    parkMouse();
    waitForRest(set.ball);
    printCounts("after start-up", program);
    // The system keeps what it makes for the first menu and the first dialog of a process.
    showAboutFromMenu(program, set);
    parkMouse();
    printCounts("after the first menu and About screen", program);

    double started = now();
    int held = 0;
    for (int i = 0; i < throwCount; ++i) {
        // A short flick to the side, left and right in turn, that ends about where it began:
        // the ball stays near the floor and the next throw catches it in the air.
        POINT c = centreOf(windowRect(set.ball));
        if (c.y < 500) {
            waitForRest(set.ball);
            c = centreOf(windowRect(set.ball));
        }
        const int side = (i % 2) ? 8 : -8;
        if (throwThrough(set.ball, {{c.x + side, c.y - 12}, {c.x + 2 * side, c.y - 6}})) ++held;
    }
    parkMouse();
    waitForRest(set.ball);
    line("result %d throws (%d of them caught the ball) in %.0f s", throwCount, held, now() - started);
    printCounts("after the throws", program);

    started = now();
    int opened = 0;
    for (int i = 0; i < menuCount; ++i)
        if (openMenu(program, set) && closeMenu(program)) ++opened;
    line("result %d menus opened and closed in %.0f s", opened, now() - started);

    started = now();
    int shown = 0;
    for (int i = 0; i < aboutCount; ++i)
        if (showAboutFromMenu(program, set)) ++shown;
    line("result %d About screens in %.0f s", shown, now() - started);

    started = now();
    int dragged = 0;
    for (int i = 0; i < dragCount; ++i)
        if (dragSetTo(set, (i % 2) ? 100 : 400, (i % 2) ? 150 : 200, 6)) ++dragged;
    line("result %d drags of the set in %.0f s", dragged, now() - started);
    parkMouse();
    waitForRest(set.ball);
    printCounts("after throws, menus, About screens and drags", program);
}

}  // namespace

int main(int argc, char** argv) {
    int position = 0;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strncmp(a, "--phases=", 9) == 0) phases = a + 9;
        else if (std::strncmp(a, "--seconds=", 10) == 0) phaseSeconds = std::atoi(a + 10);
        else if (std::strncmp(a, "--throws=", 9) == 0) throwCount = std::atoi(a + 9);
        else if (std::strncmp(a, "--menus=", 8) == 0) menuCount = std::atoi(a + 8);
        else if (std::strncmp(a, "--abouts=", 9) == 0) aboutCount = std::atoi(a + 9);
        else if (std::strncmp(a, "--drags=", 8) == 0) dragCount = std::atoi(a + 8);
        else if (std::strncmp(a, "--launches=", 11) == 0) launches = std::atoi(a + 11);
        else if (position++ == 0) programPath = a;
        else barePath = a;
    }
    if (programPath.empty() || barePath.empty()) {
        std::fprintf(stderr, "usage: program_measure basketball.exe bare_dialog.exe [--phases=...]\n");
        return 2;
    }

    if (wants("startup")) measureStartUp();
    if (!wants("cpu") && !wants("steps") && !wants("objects")) return 0;

    Program program;
    SetWindows set;
    std::string error;
    if (!startSet(program, set, error)) {
        line("result failed: %s", error.c_str());
        return 1;
    }
    line("program %lu", program.pid);
    if (wants("cpu")) measureCpu(program, set);
    if (wants("steps")) measureSteps(set);
    if (wants("objects")) measureObjects(program, set);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(program.process, &memory, sizeof memory))
        line("result peak working set %.2f MiB (GetProcessMemoryInfo), now %.2f MiB",
             static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0,
             static_cast<double>(memory.WorkingSetSize) / 1048576.0);
    line("start exit");
    HWND menu = openMenu(program, set);
    if (menu) chooseMenuItem(menu, menuExit);
    DWORD code = 1;
    const bool ended = program.waitExit(windowTimeoutMs, code);
    line("end exit");
    line("result exit: %s, code %lu", ended ? "ended" : "did not end", code);
    return 0;
}
