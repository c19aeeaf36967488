#pragma once

#include <cstdarg>
#include <cstdio>

// One line of figures, flushed at once: the scripts read it while the program still runs.
inline void line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
