# Configures, builds and runs the example host, and fails unless its output
# is EXPECTED; with VALIDATE (a directive-host) instead, builds the example
# plug-in and fails unless `directive-host validate` passes it. With PREFIX
# it finds the installed package under that prefix,
# with PACKAGE_DIR in that folder (find_package); with PLUGIN_SOURCE it adds
# the source tree
# (add_subdirectory) and then checks that none of the source tree's tests
# were registered.
# Usage: cmake -DSOURCE=... -DBINARY=... -DGENERATOR=... -DBUILD_TYPE=...
#              -DC_COMPILER=... (-DEXPECTED=... | -DVALIDATE=...)
#              (-DPREFIX=... | -DPACKAGE_DIR=... | -DPLUGIN_SOURCE=...)
#              [-DTOOLCHAIN=...] [-DEMULATOR=command|argument...]
#              -P build_example.cmake
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" EMULATOR "${EMULATOR}")

file(REMOVE_RECURSE ${BINARY})
set(options -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
  -DCMAKE_C_COMPILER=${C_COMPILER}
  "-DCMAKE_C_FLAGS=-Wall -Wextra -pedantic" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON)
if(PREFIX)
  list(APPEND options -DCMAKE_PREFIX_PATH=${PREFIX})
elseif(PACKAGE_DIR)
  list(APPEND options -DDirectivePlugin_DIR=${PACKAGE_DIR})
else()
  list(APPEND options -DDIRECTIVE_PLUGIN_SOURCE_DIR=${PLUGIN_SOURCE})
endif()
if(TOOLCHAIN)
  list(APPEND options -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result
    OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} ${options})
run(${CMAKE_COMMAND} --build ${BINARY})
if(VALIDATE)
  file(GLOB module ${BINARY}/EchoPlugin.so ${BINARY}/EchoPlugin.dll)
  run(${EMULATOR} ${VALIDATE} validate ${module})
  if(NOT output MATCHES "\n[0-9]+ passed, 0 failed\r?\n")
    message(FATAL_ERROR "directive-host validate printed:\n${output}")
  endif()
  message(STATUS "the example plug-in built and passed validation")
  return()
endif()
file(GLOB host ${BINARY}/example-host ${BINARY}/example-host.exe)
run(${EMULATOR} ${host})
file(READ ${EXPECTED} expected)
string(REPLACE "\r\n" "\n" output "${output}")
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "example-host printed:\n${output}\nexpected:\n${expected}")
endif()

if(PLUGIN_SOURCE)
  run(${CMAKE_CTEST_COMMAND} --test-dir ${BINARY} -N)
  if(NOT output MATCHES "Total Tests: 0")
    message(FATAL_ERROR "the host project registers tests of the plug-in:\n${output}")
  endif()
endif()
message(STATUS "example-host built and ran as expected")
