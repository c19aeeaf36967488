#pragma once

#include <windows.h>

// The clocks the measuring programs read.

// Seconds on the high-resolution counter, from an arbitrary origin.
inline double counterSeconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

// Processor seconds (kernel and user) a process has used so far; -1 when they cannot be read.
inline double cpuSecondsOf(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1.0;
    auto seconds = [](const FILETIME& t) {
        ULARGE_INTEGER v;
        v.LowPart = t.dwLowDateTime;
        v.HighPart = t.dwHighDateTime;
        return static_cast<double>(v.QuadPart) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}
