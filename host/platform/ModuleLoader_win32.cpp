#include "platform/ModuleLoader.h"
#include "platform/SystemMessage_win32.h"
#include "platform/WidePath_win32.h"

#include <windows.h>

#include <string>
#include <vector>

namespace directive_host::platform {

LoadedModuleHandle LoadModule(const std::string &path, std::string &error) {
  HMODULE module = LoadLibraryW(WidePath(path).c_str());
  if (module == nullptr) {
    error = SystemMessage(GetLastError());
  }
  return reinterpret_cast<LoadedModuleHandle>(module);
}

void *FindExport(LoadedModuleHandle module, const char *name) {
  if (module == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<void *>(
      GetProcAddress(static_cast<HMODULE>(module), name));
}

void UnloadModule(LoadedModuleHandle module) {
  if (module != nullptr) {
    FreeLibrary(static_cast<HMODULE>(module));
  }
}

const char *PluginFileName() { return "DirectivePlugin.dll"; }

std::string ExecutablePath() {
  // Grow the buffer until the path fits: it can exceed MAX_PATH.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      return std::string(path.data(), length);
    }
    path.resize(path.size() * 2);
  }
}

} // namespace directive_host::platform
