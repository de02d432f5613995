# Cross build for 64-bit Windows with MinGW-w64 (its POSIX-threads compilers);
# for 32-bit, mingw-w64-i686.cmake names its own triple and includes this.
# Every program and library links the GCC runtime, the C++ library and
# winpthread statically, so it needs no DLL beyond its own, the C runtime and
# the system's. Programs built here run under Wine: ctest and the test
# discovery start them through the emulator below.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT ZOLK_MINGW_TRIPLE)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(ZOLK_MINGW_TRIPLE x86_64-w64-mingw32)
endif()
find_program(CMAKE_C_COMPILER NAMES ${ZOLK_MINGW_TRIPLE}-gcc-posix ${ZOLK_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${ZOLK_MINGW_TRIPLE}-g++-posix ${ZOLK_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${ZOLK_MINGW_TRIPLE}-windres)

# Headers and libraries from the MinGW-w64 tree only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZOLK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(ZOLK_STATIC_RUNTIME "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${ZOLK_STATIC_RUNTIME}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${ZOLK_STATIC_RUNTIME}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${ZOLK_STATIC_RUNTIME}")

# Wine with its own prefix in the build folder, quiet, and without the .NET
# and HTML engines it would otherwise offer to install into a new prefix.
# Building needs no Wine; running the tests does.
set(CMAKE_CROSSCOMPILING_EMULATOR
  env "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
  sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
