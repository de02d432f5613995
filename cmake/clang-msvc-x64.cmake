# 64-bit Windows in the simulator's ABI (see clang-msvc.cmake).
set(ZOLK_MSVC_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-msvc.cmake)
