/*
 * host_binding.c - looks up RegisterParseAssemblePlugins in the host
 * executable when the module is loaded, as directive_plugin.h asks: in the
 * executable only, and without failing when it is not there.
 */
#ifndef _WIN32
#define _GNU_SOURCE /* dlinfo and dladdr1 */
#endif

#include "host_binding.h"

#include <stddef.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

/* Written once while the module loads, read-only afterwards: the callbacks
 * may run on any thread without a lock. */
static RegisterParseAssemblePluginsProc hostRegister = NULL;

RegisterParseAssemblePluginsProc HostRegisterEntryPoint(void) {
  return hostRegister;
}

#ifdef _WIN32

/* The executable stays loaded as long as the process, so its handle needs
 * no reference of its own. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    hostRegister =
        (RegisterParseAssemblePluginsProc)(void (*)(void))GetProcAddress(
            GetModuleHandleW(NULL), DIRECTIVE_REGISTER_PARSE_ASSEMBLE_PLUGINS);
  }
  return TRUE;
}

#else

static void *hostModule = NULL;

/* dlopen(NULL) names the main program and takes a reference to it. dlsym on
 * it searches the libraries loaded with it too, so the symbol is taken only
 * when the link map that defines it is the executable's own. */
__attribute__((constructor)) static void BindHost(void) {
  void *symbol;
  struct link_map *executable = NULL;
  struct link_map *definer = NULL;
  Dl_info info;
  hostModule = dlopen(NULL, RTLD_LAZY);
  if (hostModule == NULL) {
    return;
  }
  symbol = dlsym(hostModule, DIRECTIVE_REGISTER_PARSE_ASSEMBLE_PLUGINS);
  if (symbol == NULL || dlinfo(hostModule, RTLD_DI_LINKMAP, &executable) != 0 ||
      dladdr1(symbol, &info, (void **)&definer, RTLD_DL_LINKMAP) == 0 ||
      definer != executable) {
    return;
  }
  memcpy(&hostRegister, &symbol, sizeof hostRegister);
}

__attribute__((destructor)) static void ReleaseHost(void) {
  if (hostModule != NULL) {
    dlclose(hostModule);
  }
}

#endif
