// What a test can observe of its own process: how much memory it holds and
// which modules are loaded. Each answer is the system's own bookkeeping.
#pragma once

#include <cstddef>
#include <string>

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h builds on its types.
#include <psapi.h>
#else
#include <fstream>
#include <sstream>
#endif

// Bytes of memory the process holds: the resident set on Linux, the private
// commit on Windows; 0 when the system does not say.
inline std::size_t ProcessMemoryBytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters,
                               sizeof counters)) {
    return 0;
  }
  return counters.PagefileUsage;
#else
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      std::istringstream fields(line.substr(6));
      std::size_t kilobytes = 0;
      fields >> kilobytes;
      return kilobytes * 1024;
    }
  }
  return 0;
#endif
}

// True while a module of file name `fileName` is mapped into the process.
inline bool ModuleIsLoaded(const std::string &fileName) {
#ifdef _WIN32
  return GetModuleHandleA(fileName.c_str()) != nullptr;
#else
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.size() > fileName.size() &&
        line.compare(line.size() - fileName.size(), fileName.size(),
                     fileName) == 0 &&
        line[line.size() - fileName.size() - 1] == '/') {
      return true;
    }
  }
  return false;
#endif
}
