# 32-bit Windows programs.
set(mingw_processor i686)
set(mingw_wine wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
