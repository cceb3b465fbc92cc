// Loads a plug-in module by path for a host. One implementation per platform;
// callers stay free of platform code.
#pragma once

#include <string>

namespace directive_host::platform {

// Opaque handle of a loaded module; null when loading failed.
using LoadedModuleHandle = void *;

// Loads the module at `path`. On failure returns null and sets `error` to the
// system's reason.
LoadedModuleHandle LoadModule(const std::string &path, std::string &error);

// Address of the export `name`, or null when the module has none.
void *FindExport(LoadedModuleHandle module, const char *name);

// Drops the reference taken by LoadModule.
void UnloadModule(LoadedModuleHandle module);

// File name of the plug-in module on this platform ("DirectivePlugin.so" or
// "DirectivePlugin.dll").
const char *PluginFileName();

// Full path of the running executable, or "" when the system cannot say.
std::string ExecutablePath();

// The plug-in module beside the running executable, where a build puts it
// (the current folder's when the executable's path is not known).
inline std::string PluginBesideExecutable() {
  const std::string executable = ExecutablePath();
  const std::size_t slash = executable.find_last_of("/\\");
  const std::string folder =
      slash == std::string::npos ? "." : executable.substr(0, slash);
  return folder + "/" + PluginFileName();
}

} // namespace directive_host::platform
