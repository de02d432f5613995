# Cross build for 32-bit Windows with MinGW-w64 (see mingw-w64.cmake). Doubles
# in SSE2's registers, as on x86-64 and in the 32-bit host-ABI module, so that
# each operation rounds to a double whatever precision the x87 unit is set to.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZOLK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
