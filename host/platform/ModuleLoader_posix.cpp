#include "platform/ModuleLoader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace directive_host::platform {

LoadedModuleHandle LoadModule(const std::string &path, std::string &error) {
  // RTLD_LOCAL keeps one plug-in's symbols from resolving another's.
  void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char *reason = dlerror();
    error = reason != nullptr ? reason : "cannot load module";
  }
  return module;
}

void *FindExport(LoadedModuleHandle module, const char *name) {
  return module != nullptr ? dlsym(module, name) : nullptr;
}

void UnloadModule(LoadedModuleHandle module) {
  if (module != nullptr) {
    dlclose(module);
  }
}

const char *PluginFileName() { return "DirectivePlugin.so"; }

std::string ExecutablePath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) {
    return {};
  }
  return std::string(path, static_cast<size_t>(length));
}

} // namespace directive_host::platform
