# Cross-compiles for Windows with mingw-w64, for the processor the including toolchain file
# names in mingw_processor (the compilers' prefix), whose tests run under Wine's loader of
# mingw_bits (64 or 32).
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

# Test binaries run under Wine's loader of this bitness (Debian's /usr/bin/wine picks the 32-bit
# one whenever wine32 is installed), found as scripts/lib/wine-loaders says; the test command
# provides WINEPREFIX and the display.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-loaders mingw_loader REGEX "^${mingw_bits} ")
string(REPLACE " " ";" mingw_loader "${mingw_loader}")
list(POP_FRONT mingw_loader mingw_loader_bits mingw_loader_path)
get_filename_component(mingw_loader_dir ${mingw_loader_path} DIRECTORY)
get_filename_component(mingw_loader_name ${mingw_loader_path} NAME)
find_program(BASKETBALL_WINE NAMES ${mingw_loader_name} PATHS ${mingw_loader_dir} NO_DEFAULT_PATH)
if(NOT BASKETBALL_WINE)
  find_program(BASKETBALL_WINE NAMES ${mingw_loader})
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${BASKETBALL_WINE})
