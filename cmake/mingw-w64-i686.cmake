# Cross-compiles for Windows with mingw-w64. The -posix compilers are needed: with the
# default win32 thread model GoogleTest does not compile (no std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# IEEE double arithmetic, as the 64-bit build does it: the x87 unit's 80-bit intermediates move
# the game's strict thresholds and truncations. Needs an SSE2 processor (any that runs Windows 8).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test binaries run under Wine (the loader of this bitness: Debian's /usr/bin/wine picks the
# 32-bit one whenever wine32 is installed); the test command provides WINEPREFIX and the display.
find_program(BASKETBALL_WINE NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT BASKETBALL_WINE)
  find_program(BASKETBALL_WINE NAMES wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${BASKETBALL_WINE})
