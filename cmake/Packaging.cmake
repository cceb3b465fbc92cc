# Release packages of the install tree: a .tar.gz and a .deb on Linux, a .zip
# on Windows, each named with the version and the architecture.
set(CPACK_PACKAGE_NAME DirectivePlugin)
set(CPACK_PACKAGE_VENDOR "The DirectivePlugin developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Each archive unpacks into a folder of its own name. Binaries are shipped
# without their debugging information.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(directive_package_arch win64)
  else()
    set(directive_package_arch win32)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  string(TOLOWER ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR} directive_package_arch)
  set(CPACK_GENERATOR TGZ DEB)
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${directive_package_arch})

# The .deb installs under /usr and is named as Debian names packages
# (directive-plugin_VERSION_ARCH.deb).
set(CPACK_DEBIAN_PACKAGE_NAME directive-plugin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DIRECTIVE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "The DirectivePlugin module, its C header, CMake package and pkg-config
file, and directive-host, a reference host and command-line tool that
inspects, reformats and checks directive scripts. MIT licence.")
if(NOT WIN32)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/DebianDepends.cmake CONTENT
    "set(directive_deb_binaries [[$<TARGET_FILE:directive-host>;$<TARGET_FILE:directive-bare-host>;$<TARGET_FILE:DirectivePlugin>]])
include([[${PROJECT_SOURCE_DIR}/cmake/DebianDepends.cmake]])
")
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/DebianDepends.cmake)
endif()

include(CPack)
