# Builds the example host with a plain compiler call from what pkg-config
# says of the installed tree, runs it, and fails unless its output is
# EXPECTED and pkg-config gives the project's version.
# Usage: cmake -DPKG_CONFIG=... -DPC_PATH=... -DC_COMPILER=... -DSOURCE=...
#              -DBINARY=... -DMODULE_NAME=... -DVERSION=... -DEXPECTED=...
#              -P build_with_pkg_config.cmake
cmake_minimum_required(VERSION 3.25)

set(ENV{PKG_CONFIG_PATH} ${PC_PATH})
function(query variable)
  execute_process(COMMAND ${PKG_CONFIG} ${ARGN} directive-plugin
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "pkg-config ${ARGN} directive-plugin failed:\n${output}")
  endif()
  set(${variable} "${output}" PARENT_SCOPE)
endfunction()

query(version --modversion)
if(NOT version STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config says version ${version}, the project ${VERSION}")
endif()
query(cflags --cflags)
query(plugindir --variable=plugindir)
separate_arguments(cflags UNIX_COMMAND "${cflags}")

file(REMOVE_RECURSE ${BINARY})
file(MAKE_DIRECTORY ${BINARY})
execute_process(
  COMMAND ${C_COMPILER} -std=c99 -pedantic -Wall -Wextra -Werror ${cflags}
    "-DDIRECTIVE_PLUGIN_MODULE=\"${plugindir}/${MODULE_NAME}\""
    ${SOURCE}/host.c -rdynamic -ldl -o ${BINARY}/example-host
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cc $(pkg-config --cflags directive-plugin) failed:\n${output}")
endif()
execute_process(COMMAND ${BINARY}/example-host
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(READ ${EXPECTED} expected)
if(NOT result EQUAL 0 OR NOT output STREQUAL expected)
  message(FATAL_ERROR "example-host (${result}) printed:\n${output}\nexpected:\n${expected}")
endif()
message(STATUS "pkg-config ${version}: ${cflags}, plugindir ${plugindir}")
