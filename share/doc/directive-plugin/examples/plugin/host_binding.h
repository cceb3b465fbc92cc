/*
 * host_binding.h - the host's RegisterParseAssemblePlugins, found in the host
 * executable when the module is loaded.
 */
#ifndef ECHO_HOST_BINDING_H
#define ECHO_HOST_BINDING_H

#include <directive_plugin.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The entry point the host executable exports, or NULL when it exports none:
 * then the module loads as well and simply registers nothing. */
RegisterParseAssemblePluginsProc HostRegisterEntryPoint(void);

#ifdef __cplusplus
}
#endif

#endif
