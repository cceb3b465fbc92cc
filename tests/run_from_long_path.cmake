# Copies a test host and the plug-in module into a folder whose full path is
# far longer than MAX_PATH and runs the host there; fails unless the host
# passes. The folder is made afresh and removed afterwards.
# Usage: cmake -DEMULATOR=... -DHOST=... -DMODULE=... -DFOLDER=...
#              -P run_from_long_path.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${FOLDER})
set(deep ${FOLDER})
foreach(letter a b c d e)
  string(REPEAT ${letter} 60 name)
  string(APPEND deep /${name})
endforeach()
get_filename_component(hostName ${HOST} NAME)
set(host ${deep}/${hostName})
string(LENGTH "${host}" length)
if(length LESS 300)
  message(FATAL_ERROR "${host} is only ${length} characters long")
endif()

file(MAKE_DIRECTORY ${deep})
file(COPY ${HOST} ${MODULE} DESTINATION ${deep})
execute_process(COMMAND ${EMULATOR} ${host} RESULT_VARIABLE result)
file(REMOVE_RECURSE ${FOLDER})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the host in a folder of ${length} characters failed: ${result}")
endif()
message(STATUS "the host ran from a path of ${length} characters")
