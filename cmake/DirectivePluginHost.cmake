# directive_plugin_host(TARGET): makes the executable TARGET a host that
# directive plug-ins can bind to. A plug-in looks the host's registration
# entry points up in the executable itself, so the executable must export
# them: ENABLE_EXPORTS (-rdynamic on Linux), and on MinGW --kill-at, so that
# the stdcall entry points of 32-bit Windows are exported without their @N
# suffix. The same function serves the build tree and the installed package.
function(directive_plugin_host target)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "EXECUTABLE")
    message(FATAL_ERROR "directive_plugin_host: ${target} is a ${type}, not an executable")
  endif()
  set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
  if(MINGW)
    target_link_options(${target} PRIVATE -Wl,--kill-at)
  endif()
endfunction()
