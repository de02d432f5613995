# The module for the simulator itself: its sources compiled against the
# simulator's development kit (ZOLK_HOST_SDK, the folder holding Orbitersdk.h)
# and, where the kit's import library is found beside it (../lib/orbiter.lib),
# linked into ZolkMFD.dll. The stand-in host, the runner and the tests are not
# built: they belong to frame/host_api.h.
if(NOT EXISTS ${ZOLK_HOST_SDK}/Orbitersdk.h)
  message(FATAL_ERROR "ZOLK_HOST_SDK: no Orbitersdk.h in ${ZOLK_HOST_SDK}")
endif()
if(NOT WIN32)
  message(FATAL_ERROR "ZOLK_HOST_SDK: the simulator's kit is for Windows only")
endif()

add_library(zolk_host INTERFACE)
# The kit's own headers are the simulator's: their warnings are not ours.
target_include_directories(zolk_host SYSTEM INTERFACE ${ZOLK_HOST_SDK})
target_include_directories(zolk_host INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_definitions(zolk_host INTERFACE ZOLK_HOST_SDK)

add_subdirectory(frame)
add_subdirectory(automation)
add_subdirectory(engine)
add_subdirectory(mfd)

# The host's structs and constants as the module relies on them, checked while compiling.
add_library(zolk_host_layout OBJECT tests/layout/host_layout_test.cpp)
target_link_libraries(zolk_host_layout PRIVATE zolk_host)

if(ZOLK_MSVC_ARCH)
  # Built here in the simulator's ABI, with the host's import library made here.
  include(cmake/HostAbi.cmake)
  return()
endif()

find_library(ZOLK_ORBITER_LIB NAMES orbiter orbiter.lib PATHS ${ZOLK_HOST_SDK}/../lib NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(ZOLK_ORBITER_LIB)
  add_library(ZolkMFD SHARED
    $<TARGET_OBJECTS:zolk_lifecycle>
    $<TARGET_OBJECTS:zolk_glue>
    $<TARGET_OBJECTS:zolk_state>
    $<TARGET_OBJECTS:zolk_automation>
    $<TARGET_OBJECTS:zolk_engine>
    $<TARGET_OBJECTS:zolk_mfd>)
  target_link_libraries(ZolkMFD PRIVATE ${ZOLK_ORBITER_LIB})
  set_target_properties(ZolkMFD PROPERTIES PREFIX "")
else()
  message(STATUS "No orbiter.lib beside ${ZOLK_HOST_SDK}: the module's sources are compiled, ZolkMFD.dll is not linked")
endif()
