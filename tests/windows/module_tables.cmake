# Checks the module DLL's export and import tables as the host's loader sees them.
#   cmake -DOBJDUMP=<objdump> -DMODULE=<ZolkMFD.dll> -P module_tables.cmake
# Exports: exactly the four entry points, under their plain names. Imports: the
# host library, the C runtime and Windows system DLLs only; a GCC or C++
# runtime DLL there would have to ship with the module.
cmake_minimum_required(VERSION 3.20)

execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE tables RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed")
endif()

# The export name table: "[Ordinal/Name Pointer] Table", then lines like
# "\t[   2] InitModule" up to an empty line.
set(export_lines)
string(FIND "${tables}" "[Ordinal/Name Pointer] Table" start)
if(start GREATER_EQUAL 0)
  string(SUBSTRING "${tables}" ${start} -1 name_table)
  string(FIND "${name_table}" "\n\n" end)
  string(SUBSTRING "${name_table}" 0 ${end} name_table)
  string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" export_lines "${name_table}")
endif()
set(exports)
foreach(line IN LISTS export_lines)
  string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND exports "${name}")
endforeach()
list(SORT exports)
set(expected_exports ExitModule GetModuleVersion InitModule opcPreStep)
if(NOT exports STREQUAL expected_exports)
  message(FATAL_ERROR "exports are [${exports}], expected [${expected_exports}]")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" import_lines "${tables}")
set(allowed "^(simhost|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+|kernel32|user32|gdi32|advapi32|ntdll)\\.dll$")
set(imports)
foreach(line IN LISTS import_lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "${allowed}")
    message(FATAL_ERROR "the module imports ${dll}")
  endif()
  list(APPEND imports "${dll}")
endforeach()
if(NOT "simhost.dll" IN_LIST imports)
  message(FATAL_ERROR "the module does not import the host library")
endif()
message(STATUS "exports: ${exports}; imports: ${imports}")
