# The two files Debian wants in every package's documents: copyright, in its
# machine-readable form with the licence text of LICENSE, and the changelog
# compressed as changelog.gz (the package is its own upstream, a native one).
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE directive_license)
list(GET directive_license 2 directive_copyright_line)
string(REGEX REPLACE "^Copyright \\(c\\) " "" directive_copyright "${directive_copyright_line}")
list(SUBLIST directive_license 4 -1 directive_license_text)
set(directive_copyright_file
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: ${PROJECT_NAME}\n"
  "Upstream-Contact: ${DIRECTIVE_MAINTAINER}\n\n"
  "Files: *\nCopyright: ${directive_copyright}\nLicense: Expat\n\n"
  "License: Expat\n")
foreach(line IN LISTS directive_license_text)
  if(line STREQUAL "")
    set(line ".")
  endif()
  list(APPEND directive_copyright_file " ${line}\n")
endforeach()
list(JOIN directive_copyright_file "" directive_copyright_file)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/debian/copyright
  CONTENT "${directive_copyright_file}" @ONLY)

# The newest entry names the version the header gives.
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog directive_changelog_top
  LIMIT_COUNT 1)
if(NOT directive_changelog_top MATCHES "^directive-plugin \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog starts with '${directive_changelog_top}'; "
    "add an entry for ${PROJECT_VERSION} at its top")
endif()
find_program(DIRECTIVE_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
  COMMAND ${DIRECTIVE_GZIP} -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
    > ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  VERBATIM)
add_custom_target(directive_debian_docs ALL
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/copyright
  ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
