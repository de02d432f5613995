# The instruction set of native x86-64 builds. With ZOLK_AVX2 (AUTO: when the
# build machine has it) every target is compiled for AVX2's three-operand
# encoding and 256-bit vectors, which takes about a tenth of the flight
# loop's instructions away (scripts/step-cost). Fused multiply-add stays off
# (-mno-fma, and the ISO mode's -ffp-contract=off): each product is still
# rounded before its sum, so results are the same bits as a baseline x86-64
# build's. Cross builds (the Windows DLLs, the simulator's ABI) keep their
# toolchain's baseline.
set(ZOLK_AVX2 "AUTO" CACHE STRING "Compile native x86-64 builds for AVX2 without FMA: AUTO (when the build machine has it), ON or OFF")
set_property(CACHE ZOLK_AVX2 PROPERTY STRINGS AUTO ON OFF)

set(zolk_avx2 OFF)
if(NOT MSVC AND NOT CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  if(ZOLK_AVX2 STREQUAL "AUTO")
    try_run(zolk_avx2_run zolk_avx2_built ${CMAKE_BINARY_DIR}/avx2-check
            SOURCES ${CMAKE_CURRENT_LIST_DIR}/native/avx2_check.cpp)
    if(zolk_avx2_built AND zolk_avx2_run EQUAL 0)
      set(zolk_avx2 ON)
    endif()
  elseif(ZOLK_AVX2)
    set(zolk_avx2 ON)
  endif()
endif()
if(zolk_avx2)
  add_compile_options(-mavx2 -mno-fma)
endif()
# Native shared libraries call each other and themselves directly: the
# module's host calls through the global offset table rather than a PLT stub,
# and the host's calls to its own exported functions without the detour that
# would let another library replace them (none does).
if(NOT MSVC AND NOT CMAKE_CROSSCOMPILING AND NOT WIN32)
  add_compile_options(-fno-plt -fno-semantic-interposition)
endif()
message(STATUS "AVX2 without FMA for native code: ${zolk_avx2}")
