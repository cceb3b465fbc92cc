# Lists the dynamic symbols MODULE defines with NM and fails unless
# AutoRegister is the only one.
# Usage: cmake -DNM=... -DMODULE=... -P check_so_exports.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} -D --defined-only ${MODULE} failed: ${result}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
list(TRANSFORM lines REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "")
if(NOT lines STREQUAL "AutoRegister")
  message(FATAL_ERROR "${MODULE} defines '${lines}', expected only AutoRegister")
endif()
message(STATUS "${MODULE}: exports ${lines}")
