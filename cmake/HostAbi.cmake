# ZolkMFD.dll for the simulator itself, in its own ABI, linked here with
# lld-link (toolchain cmake/clang-msvc.cmake). The host's functions live in its
# executable, orbiter.exe; its import library is made at build time from the
# names the module's objects import, each of which must first be shown to be
# a name the simulator's own declarations produce (cmake/host-abi/host_imports.py).
# The C library is Windows' ucrtbase.dll; there is no C++ runtime: DllMain is
# the entry point, and frame/msvc_runtime.cpp gives the heap operators.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(ZOLK_MSVC_ARCH STREQUAL "x64")
  set(zolk_machine x64)
  set(zolk_dlltool_machine i386:x86-64)
else()
  set(zolk_machine x86)
  set(zolk_dlltool_machine i386)
  # MinGW-w64's import libraries carry no safe-exception-handler table; the
  # module has no exception handlers to list in one.
  set(zolk_machine_options /safeseh:no)
endif()

add_library(zolk_msvc_runtime OBJECT frame/msvc_runtime.cpp)
target_link_libraries(zolk_msvc_runtime PRIVATE zolk_host)

set(zolk_module_objects
  $<TARGET_OBJECTS:zolk_lifecycle>
  $<TARGET_OBJECTS:zolk_glue>
  $<TARGET_OBJECTS:zolk_state>
  $<TARGET_OBJECTS:zolk_automation>
  $<TARGET_OBJECTS:zolk_engine>
  $<TARGET_OBJECTS:zolk_mfd>
  $<TARGET_OBJECTS:zolk_msvc_runtime>)
set(zolk_module_targets zolk_lifecycle zolk_glue zolk_state zolk_automation zolk_engine zolk_mfd zolk_msvc_runtime)
set(zolk_imports_script ${CMAKE_CURRENT_LIST_DIR}/host-abi/host_imports.py)
set(zolk_kit_source ${ZOLK_HOST_SDK}/../src/Orbitersdk.cpp)
set(zolk_abi ${CMAKE_BINARY_DIR}/host-abi)

# 1. The names the module needs from the host, and a probe that names the same
#    functions through the kit's own declarations.
add_custom_command(
  OUTPUT ${zolk_abi}/host_imports.txt ${zolk_abi}/host_probe.cpp
  COMMAND ${Python3_EXECUTABLE} ${zolk_imports_script} probe
          --nm ${ZOLK_LLVM_NM} --undname ${ZOLK_LLVM_UNDNAME} --kit-source ${zolk_kit_source}
          --names ${zolk_abi}/host_imports.txt --source ${zolk_abi}/host_probe.cpp
          ${zolk_module_objects}
  DEPENDS ${zolk_module_targets} ${zolk_module_objects} ${zolk_imports_script} ${zolk_kit_source}
  COMMAND_EXPAND_LISTS
  COMMENT "Reading the names the module imports from the host")

# 2. The probe, compiled with the module's compiler and flags against the kit alone.
add_library(zolk_host_probe OBJECT ${zolk_abi}/host_probe.cpp)
target_include_directories(zolk_host_probe SYSTEM PRIVATE ${ZOLK_HOST_SDK})

# 3. Every imported name must be one the probe references; then the host's
#    import library, and the C library's functions that MinGW-w64's import
#    library for ucrtbase.dll leaves without call stubs.
add_custom_command(
  OUTPUT ${zolk_abi}/orbiter.def ${zolk_abi}/orbiter.lib ${zolk_abi}/orbiter-exports.rsp
  COMMAND ${Python3_EXECUTABLE} ${zolk_imports_script} check
          --nm ${ZOLK_LLVM_NM} --undname ${ZOLK_LLVM_UNDNAME} --readobj ${ZOLK_LLVM_READOBJ}
          --names ${zolk_abi}/host_imports.txt --probe $<TARGET_OBJECTS:zolk_host_probe>
          --definition ${zolk_abi}/orbiter.def --exports ${zolk_abi}/orbiter-exports.rsp ${zolk_module_objects}
  COMMAND ${ZOLK_LLVM_DLLTOOL} -m ${zolk_dlltool_machine} -d ${zolk_abi}/orbiter.def -l ${zolk_abi}/orbiter.lib
  DEPENDS zolk_host_probe $<TARGET_OBJECTS:zolk_host_probe> ${zolk_abi}/host_imports.txt
  COMMAND_EXPAND_LISTS
  COMMENT "Checking the host's names against its declarations; making orbiter.lib")
add_custom_command(
  OUTPUT ${zolk_abi}/ucrtbase-extra.lib
  COMMAND ${ZOLK_LLVM_DLLTOOL} -m ${zolk_dlltool_machine} -d ${CMAKE_CURRENT_LIST_DIR}/host-abi/ucrtbase-extra.def
          -l ${zolk_abi}/ucrtbase-extra.lib
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/host-abi/ucrtbase-extra.def
  COMMENT "Making the C library's import library for its math functions")

# 4. The link, without time stamps (/brepro), and the finished tables checked.
set(zolk_dll ${CMAKE_BINARY_DIR}/ZolkMFD.dll)
add_custom_command(
  OUTPUT ${zolk_dll} ${zolk_abi}/imports.txt
  COMMAND ${ZOLK_LLD_LINK} /nologo /dll /machine:${zolk_machine} ${zolk_machine_options} /entry:DllMain /nodefaultlib /brepro
          /implib:${zolk_abi}/ZolkMFD.lib /opt:ref /opt:icf /out:${zolk_dll}
          ${zolk_module_objects} ${zolk_abi}/orbiter.lib ${zolk_abi}/ucrtbase-extra.lib
          ${ZOLK_MINGW_ROOT}/lib/libucrtbase.a ${ZOLK_MINGW_ROOT}/lib/libkernel32.a ${ZOLK_MINGW_ROOT}/lib/libgdi32.a
  COMMAND ${Python3_EXECUTABLE} ${zolk_imports_script} verify --readobj ${ZOLK_LLVM_READOBJ}
          --listing ${zolk_abi}/imports.txt ${zolk_dll}
  DEPENDS ${zolk_module_targets} ${zolk_module_objects} ${zolk_abi}/orbiter.lib ${zolk_abi}/ucrtbase-extra.lib
  COMMAND_EXPAND_LISTS
  COMMENT "Linking ZolkMFD.dll (${zolk_machine}) with lld-link")

# 5. ZolkMFD's table of virtual operations against the genuine GraphMFD's,
#    slot by slot, both as this compiler lays them out in this ABI.
add_library(zolk_genuine_table OBJECT ${CMAKE_CURRENT_LIST_DIR}/host-abi/genuine_table.cpp)
target_include_directories(zolk_genuine_table SYSTEM PRIVATE ${ZOLK_HOST_SDK})
add_custom_command(
  OUTPUT ${zolk_abi}/vtables.txt
  COMMAND ${Python3_EXECUTABLE} ${zolk_imports_script} vtable --commands ${CMAKE_BINARY_DIR}/compile_commands.json
          --module ${PROJECT_SOURCE_DIR}/mfd/zolk_mfd.cpp --genuine ${CMAKE_CURRENT_LIST_DIR}/host-abi/genuine_table.cpp
          --listing ${zolk_abi}/vtables.txt
  DEPENDS zolk_mfd zolk_genuine_table $<TARGET_OBJECTS:zolk_mfd> $<TARGET_OBJECTS:zolk_genuine_table> ${zolk_imports_script}
  COMMENT "Comparing ZolkMFD's virtual table with GraphMFD's")
add_custom_target(ZolkMFD ALL DEPENDS ${zolk_dll} ${zolk_abi}/vtables.txt)

# 6. The test host orbiter.exe, in the same ABI and width: the simulator's
#    functions and classes the module uses, compiled with OAPI_IMPLEMENTATION
#    against the kit's headers and exported under their genuine names (each
#    name the module imports, or the link fails), served by the stand-in's
#    world in zolk_world.dll of the windows or windows-x86 preset
#    (scripts/test-host-abi). Each page opened is put to the simulator's
#    type check (dynamic_cast<MFD2*> in a try), with type information on in
#    every width and setting, through ucrtbase.dll's runtime.
#    The kit's inline functions are not exported (-fno-dllexport-inlines), but
#    for the module's imports, which the export list names.
add_library(zolk_test_host OBJECT
  tests/host_abi/orbiter/displays.cpp
  tests/host_abi/orbiter/host_functions.cpp
  tests/host_abi/orbiter/main.cpp
  tests/host_abi/orbiter/page_type_check.cpp
  tests/host_abi/orbiter/vessel.cpp)
target_include_directories(zolk_test_host PRIVATE ${PROJECT_SOURCE_DIR})
target_include_directories(zolk_test_host SYSTEM PRIVATE ${ZOLK_HOST_SDK})
target_compile_options(zolk_test_host PRIVATE -Xclang -fno-dllexport-inlines -frtti)
# The type check on each page opened catches what the cast throws, as the
# simulator does: C++ exceptions there, handled by ucrtbase.dll's handler.
set_source_files_properties(tests/host_abi/orbiter/page_type_check.cpp PROPERTIES
  COMPILE_OPTIONS "-fexceptions;-fcxx-exceptions")
set(zolk_host_exe ${CMAKE_BINARY_DIR}/orbiter.exe)
add_custom_command(
  OUTPUT ${zolk_host_exe}
  COMMAND ${ZOLK_LLD_LINK} /nologo /machine:${zolk_machine} ${zolk_machine_options} /subsystem:console /entry:orbiterMain
          /nodefaultlib /brepro /implib:${zolk_abi}/test-host.lib /out:${zolk_host_exe} @${zolk_abi}/orbiter-exports.rsp
          $<TARGET_OBJECTS:zolk_test_host> $<TARGET_OBJECTS:zolk_msvc_runtime> ${zolk_abi}/ucrtbase-extra.lib
          ${ZOLK_MINGW_ROOT}/lib/libucrtbase.a ${ZOLK_MINGW_ROOT}/lib/libkernel32.a ${ZOLK_MINGW_ROOT}/lib/libshell32.a
  DEPENDS zolk_test_host zolk_msvc_runtime $<TARGET_OBJECTS:zolk_test_host> $<TARGET_OBJECTS:zolk_msvc_runtime>
          ${zolk_abi}/orbiter-exports.rsp
          ${zolk_abi}/ucrtbase-extra.lib
  COMMAND_EXPAND_LISTS
  COMMENT "Linking the test host orbiter.exe with lld-link")
add_custom_target(zolk_test_host_exe ALL DEPENDS ${zolk_host_exe})
