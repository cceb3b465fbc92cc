# The install tree a host author consumes: the header, the module in its
# plug-in folder, directive-host, a CMake package and a pkg-config file. Every
# path inside it is relative, so the tree may be moved after installing.
include(CMakePackageConfigHelpers)

install(FILES ${PROJECT_SOURCE_DIR}/include/directive_plugin.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS directive_headers EXPORT DirectivePluginTargets)
install(TARGETS DirectivePlugin EXPORT DirectivePluginTargets
  LIBRARY DESTINATION ${DIRECTIVE_PLUGIN_INSTALL_DIR}
  RUNTIME DESTINATION ${DIRECTIVE_PLUGIN_INSTALL_DIR})
install(TARGETS directive-host EXPORT DirectivePluginTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# directive-host validate runs it from beside itself.
install(TARGETS directive-bare-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(EXPORT DirectivePluginTargets
  NAMESPACE DirectivePlugin::
  DESTINATION ${DIRECTIVE_CMAKE_INSTALL_DIR})
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/DirectivePluginConfig.cmake.in
  ${PROJECT_BINARY_DIR}/DirectivePluginConfig.cmake
  INSTALL_DESTINATION ${DIRECTIVE_CMAKE_INSTALL_DIR})
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/DirectivePluginConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/DirectivePluginConfig.cmake
  ${PROJECT_BINARY_DIR}/DirectivePluginConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/DirectivePluginHost.cmake
  DESTINATION ${DIRECTIVE_CMAKE_INSTALL_DIR})

# pkg-config names the folders relative to the .pc file itself. Nothing in
# it differs between architectures, so it goes where pkg-config looks for
# every one of them.
file(RELATIVE_PATH directive_prefix_from_pc
  ${CMAKE_INSTALL_FULL_DATADIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" directive_prefix_from_pc "${directive_prefix_from_pc}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/directive-plugin.pc.in
  ${PROJECT_BINARY_DIR}/directive-plugin.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/directive-plugin.pc
  DESTINATION ${CMAKE_INSTALL_DATADIR}/pkgconfig)

# The README, the editors' set-up that `help lsp` names, the licence, the
# example host and the example plug-in, for host and plug-in authors to start
# from. On Linux the licence is Debian's copyright file, made from LICENSE,
# with the changelog beside it as Debian names it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/editors.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  include(${PROJECT_SOURCE_DIR}/cmake/DebianDocs.cmake)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/host ${PROJECT_SOURCE_DIR}/examples/plugin
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
