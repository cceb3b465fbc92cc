#include "ModuleLoader.h"
#include "SystemMessage_win32.h"

#include <windows.h>

#include <string>
#include <vector>

namespace host {

namespace {

// `path` (ANSI code page) as a wide path that the loader accepts at any
// length: the ANSI entry points stop at MAX_PATH, and a longer absolute path
// needs the \\?\ prefix. Behind that prefix '/' is no separator any more, so
// it is turned into '\' here.
std::wstring WidePath(const std::string &path) {
  const int length = MultiByteToWideChar(
      CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                      wide.data(), length);
  const bool driveAbsolute = wide.size() > 2 && wide[1] == L':' &&
                             (wide[2] == L'\\' || wide[2] == L'/');
  if (wide.size() >= MAX_PATH && driveAbsolute) {
    for (wchar_t &c : wide) {
      if (c == L'/') {
        c = L'\\';
      }
    }
    wide.insert(0, L"\\\\?\\");
  }
  return wide;
}

} // namespace

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

} // namespace host
