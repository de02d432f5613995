# Cross build for 32-bit Windows with MinGW-w64 (see mingw-w64.cmake). Floating
# point in SSE2's 64-bit doubles, as on x86-64, not in the x87 unit's 80-bit
# registers: the same operations round the same way as the Linux build's.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZOLK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
