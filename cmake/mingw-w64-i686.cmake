# 32-bit Windows programs.
set(mingw_processor i686)
set(mingw_bits 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# IEEE double arithmetic, as the 64-bit build does it: the x87 unit's 80-bit intermediates move
# the game's strict thresholds and truncations. Needs an SSE2 processor (any that runs Windows 8).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
