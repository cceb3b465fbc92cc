# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE): the .deb's
# Depends, from the libraries its binaries link, as dpkg-shlibdeps names
# them. CPack would run dpkg-shlibdeps itself, but with it adds ldconfig calls
# for any shared object under /usr/lib, the plug-in module too, which lives
# outside the library path and is loaded by its path.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(directive_work ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps)
  file(MAKE_DIRECTORY ${directive_work}/debian)
  file(WRITE ${directive_work}/debian/control "")
  execute_process(COMMAND dpkg-shlibdeps -O ${directive_deb_binaries}
    WORKING_DIRECTORY ${directive_work}
    OUTPUT_VARIABLE directive_shlibs ERROR_VARIABLE directive_error
    RESULT_VARIABLE directive_result OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT directive_result EQUAL 0 OR NOT directive_shlibs MATCHES "^shlibs:Depends=(.+)$")
    message(FATAL_ERROR "dpkg-shlibdeps failed (${directive_result}): ${directive_error}")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS ${CMAKE_MATCH_1})
endif()
