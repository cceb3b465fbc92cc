# Reads the PE headers of MODULE with OBJDUMP and fails unless it is a DLL of
# the file format FORMAT (pei-i386 or pei-x86-64) whose only export is
# AutoRegister, undecorated, and whose imports are all DLLs that every
# Windows system has.
# Usage: cmake -DOBJDUMP=... -DMODULE=... -DFORMAT=... -P check_dll_exports.cmake
cmake_minimum_required(VERSION 3.25)

set(kSystemDlls kernel32.dll msvcrt.dll ntdll.dll user32.dll advapi32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
  OUTPUT_VARIABLE headers RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${MODULE} failed: ${result}")
endif()

if(NOT headers MATCHES "file format ${FORMAT}\n")
  message(FATAL_ERROR "${MODULE} is not a PE image of format ${FORMAT}")
endif()
if(NOT headers MATCHES "\n[ \t]+DLL\n")
  message(FATAL_ERROR "${MODULE} is not marked as a DLL")
endif()

# The names listed under the export name table, up to the next blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" table "${headers}")
string(REGEX MATCHALL "\\[ *[0-9]+\\] [^\n]+" entries "${table}")
list(TRANSFORM entries REPLACE "^\\[ *[0-9]+\\] " "")
if(NOT entries STREQUAL "AutoRegister")
  message(FATAL_ERROR "exports of ${MODULE}: '${entries}', expected only AutoRegister")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${MODULE}")
endif()
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" name)
  if(NOT name IN_LIST kSystemDlls)
    message(FATAL_ERROR "${MODULE} imports ${import}, which is not a system DLL")
  endif()
endforeach()
message(STATUS "${MODULE}: exports ${entries}; imports ${imports}")
