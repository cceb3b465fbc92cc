# Installs a build tree into STAGING, moves the result to TREE (so that any
# path fixed at install time would break) and fails unless TREE holds exactly
# the files listed in FILES (relative paths, ';'-separated).
# Usage: cmake -DBUILD=... -DSTAGING=... -DTREE=... -DFILES=... -P install_tree.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${STAGING} ${TREE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGING}
  OUTPUT_QUIET RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD} failed: ${result}")
endif()
file(RENAME ${STAGING} ${TREE})

file(GLOB_RECURSE installed RELATIVE ${TREE} ${TREE}/*)
list(SORT installed)
set(expected ${FILES})
list(SORT expected)
if(NOT installed STREQUAL expected)
  set(extra ${installed})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${installed})
  message(FATAL_ERROR "install tree differs:\n  missing: ${missing}\n  extra: ${extra}")
endif()
list(LENGTH installed count)
message(STATUS "${TREE} holds the ${count} expected files")
