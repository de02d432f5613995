# 32-bit Windows in the simulator's ABI (see clang-msvc.cmake).
set(ZOLK_MSVC_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/clang-msvc.cmake)
