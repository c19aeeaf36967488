# Cross-compiles for Windows with mingw-w64, for the processor the including toolchain file
# names in mingw_processor (the compilers' prefix) with Wine's loader names in mingw_wine.
# The -posix compilers are needed: with the default win32 thread model GoogleTest does not
# compile (no std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${mingw_processor})

set(mingw_triple ${mingw_processor}-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test binaries run under Wine (the loader of this bitness: Debian's /usr/bin/wine picks the
# 32-bit one whenever wine32 is installed); the test command provides WINEPREFIX and the display.
list(GET mingw_wine 0 mingw_own_wine)
find_program(BASKETBALL_WINE NAMES ${mingw_own_wine} PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT BASKETBALL_WINE)
  find_program(BASKETBALL_WINE NAMES ${mingw_wine})
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${BASKETBALL_WINE})
