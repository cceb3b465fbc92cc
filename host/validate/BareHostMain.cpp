// directive-bare-host MODULE EXPORT: a host that exports no entry points.
// It loads MODULE, calls its AutoRegister (exported as EXPORT) and unloads
// it, so that directive-host validate can see whether a module survives a
// host without RegisterParseAssemblePlugins. Exit status: 0 it did; 3 the
// module did not load (the reason on standard output); 4 it has no EXPORT.
#include "platform/ChildProcess.h"
#include "platform/ModuleLoader.h"

#include "directive_plugin.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform = directive_host::platform;

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fputs("usage: directive-bare-host MODULE EXPORT\n", stderr);
    return 2;
  }
  platform::ReportCrashes();
  std::string error;
  const platform::LoadedModuleHandle module =
      platform::LoadModule(argv[1], error);
  if (module == nullptr) {
    std::fputs(error.c_str(), stdout);
    return 3;
  }
  const auto autoRegister =
      reinterpret_cast<AutoRegisterProc>(platform::FindExport(module, argv[2]));
  if (autoRegister == nullptr) {
    platform::UnloadModule(module);
    return 4;
  }
  autoRegister();
  platform::UnloadModule(module);
  // What the module left allocated is the unload check's to judge, not a
  // leak checker's at exit.
  std::fflush(stdout);
  std::_Exit(0);
}
