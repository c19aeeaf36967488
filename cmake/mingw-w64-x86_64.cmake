# 64-bit Windows programs.
set(mingw_processor x86_64)
set(mingw_bits 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
