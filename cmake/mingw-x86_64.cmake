# The same sources for 64-bit Windows, for running the checks under 64-bit Wine
# where 32-bit code cannot run.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
