# Compile-only toolchain for 64-bit Windows: clang with MinGW-w64's headers and
# C++ library headers (Debian's g++-mingw-w64-x86-64-posix), and Microsoft's
# extensions, which the simulator's development kit is written for. Used to
# compile the module against that kit (scripts/check-host-sdk); nothing is
# linked, as the kit's import libraries are built with MSVC. A warning in the
# project's own code fails the check; the kit's headers are system headers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZOLK_MINGW_TRIPLE x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES clang++ REQUIRED)
set(CMAKE_CXX_COMPILER_TARGET ${ZOLK_MINGW_TRIPLE})
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# clang does not find the C++ library headers of Debian's MinGW-w64 g++ (its
# version folder is named "12-posix"), so they are named here.
file(GLOB ZOLK_MINGW_CXX_HEADERS /usr/lib/gcc/${ZOLK_MINGW_TRIPLE}/*-posix/include/c++)
list(SORT ZOLK_MINGW_CXX_HEADERS COMPARE NATURAL ORDER DESCENDING)
list(GET ZOLK_MINGW_CXX_HEADERS 0 ZOLK_MINGW_CXX)
if(NOT ZOLK_MINGW_CXX)
  message(FATAL_ERROR "MinGW-w64 C++ headers not found (Debian package g++-mingw-w64-x86-64-posix)")
endif()
set(CMAKE_CXX_FLAGS_INIT
  "-fms-extensions -Werror -isystem ${ZOLK_MINGW_CXX} -isystem ${ZOLK_MINGW_CXX}/${ZOLK_MINGW_TRIPLE} -isystem ${ZOLK_MINGW_CXX}/backward")

set(CMAKE_FIND_ROOT_PATH /usr/${ZOLK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
