# Builds for the simulator itself, in its own ABI: clang targeting Microsoft's
# C++ ABI (class layouts, virtual tables, decorated names as Visual C++ makes
# them), with libc++'s headers for the C++ library (header-only use: no C++
# runtime DLL), MinGW-w64's headers for Windows' C headers, and lld-link
# for the link (cmake/HostAbi.cmake). Included by clang-msvc-x64.cmake and
# clang-msvc-x86.cmake, which name ZOLK_MSVC_ARCH. No Microsoft toolchain,
# headers or libraries are used.
set(CMAKE_SYSTEM_NAME Windows)
if(ZOLK_MSVC_ARCH STREQUAL "x64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
  set(ZOLK_MSVC_TARGET x86_64-pc-windows-msvc)
  set(ZOLK_MINGW_TRIPLE x86_64-w64-mingw32)
  set(ZOLK_MSVC_DEFINES "")
else()
  set(CMAKE_SYSTEM_PROCESSOR X86)
  set(ZOLK_MSVC_TARGET i686-pc-windows-msvc)
  set(ZOLK_MINGW_TRIPLE i686-w64-mingw32)
  # Doubles in SSE2's registers, as Visual C++ compiles for 32-bit by default,
  # not in the x87 unit, whose precision the host process may lower (Direct3D
  # sets it to single unless told otherwise).
  set(ZOLK_MSVC_DEFINES "-D_X86_=1 -msse2 -mfpmath=sse")
endif()

find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
set(CMAKE_CXX_COMPILER_TARGET ${ZOLK_MSVC_TARGET})
find_program(ZOLK_LLD_LINK NAMES lld-link-14 lld-link REQUIRED)
find_program(ZOLK_LLVM_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool REQUIRED)
find_program(ZOLK_LLVM_NM NAMES llvm-nm-14 llvm-nm REQUIRED)
find_program(ZOLK_LLVM_READOBJ NAMES llvm-readobj-14 llvm-readobj REQUIRED)
find_program(ZOLK_LLVM_UNDNAME NAMES llvm-undname-14 llvm-undname REQUIRED)
set(CMAKE_LINKER ${ZOLK_LLD_LINK})
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar REQUIRED)
# Only objects are built through CMake's own rules; the DLL is linked by a
# command of its own, so the compiler check need not link.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# No runtime-library flags (-D_DLL, a default C library): the link names its libraries itself.
set(CMAKE_MSVC_RUNTIME_LIBRARY "")

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-resource-dir
  OUTPUT_VARIABLE ZOLK_CLANG_RESOURCES OUTPUT_STRIP_TRAILING_WHITESPACE)
set(ZOLK_LIBCXX_HEADERS /usr/lib/llvm-14/include/c++/v1)
set(ZOLK_MINGW_ROOT /usr/${ZOLK_MINGW_TRIPLE})
foreach(folder ${ZOLK_LIBCXX_HEADERS} ${ZOLK_MINGW_ROOT}/include ${ZOLK_CLANG_RESOURCES}/include)
  if(NOT IS_DIRECTORY ${folder})
    message(FATAL_ERROR "${folder} missing (Debian packages libc++-14-dev, mingw-w64-*-dev, clang-14)")
  endif()
endforeach()

# -fms-compatibility: the kit is written for Visual C++. -fgnuc-version and
# -D__declspec=__declspec: libc++ and MinGW-w64's headers take their GNU paths
# (MinGW's would otherwise define __declspec away). _UCRT and
# __USE_MINGW_ANSI_STDIO=0: the C library is Windows' ucrtbase.dll, not
# MinGW's replacements. _LIBCPP_NO_VCRUNTIME and
# _LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS: no Visual C++ runtime, and nothing
# of the C++ library imported from a DLL (what little it needs, the module
# defines: frame/msvc_runtime.cpp). No exceptions.
# Type information (-frtti): each time a display opens the page, the host asks
# its runtime whether the page is an MFD2 (dynamic_cast), and the runtime reads
# the page's complete-object locator, the word before its virtual table; with
# the locator, type descriptors and class hierarchy in place the answer is a
# plain "no". ZOLK_PAGE_TYPE_INFO=OFF builds without them, only to show that
# the test host then fails (scripts/test-host-abi).
option(ZOLK_PAGE_TYPE_INFO "Type information for the host's dynamic_cast on the page" ON)
if(ZOLK_PAGE_TYPE_INFO)
  set(zolk_rtti -frtti)
else()
  set(zolk_rtti -fno-rtti)
endif()
set(CMAKE_CXX_FLAGS_INIT "-fms-compatibility -fms-extensions -fgnuc-version=4.2.1 -D__declspec=__declspec \
${ZOLK_MSVC_DEFINES} -D_UCRT -D__USE_MINGW_ANSI_STDIO=0 -D_LIBCPP_NO_VCRUNTIME -D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS \
-nostdinc++ -nostdlibinc -isystem ${ZOLK_LIBCXX_HEADERS} -isystem ${ZOLK_MINGW_ROOT}/include \
-isystem ${ZOLK_CLANG_RESOURCES}/include -fno-exceptions ${zolk_rtti} \
-include ${CMAKE_CURRENT_LIST_DIR}/host-abi/prelude.h -Werror")

set(CMAKE_FIND_ROOT_PATH ${ZOLK_MINGW_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The exact compile commands, for the check that compiles the display class
# again to read its table of virtual operations (cmake/HostAbi.cmake).
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
