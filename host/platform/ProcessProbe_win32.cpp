#include "platform/ProcessProbe.h"

#include <windows.h>
// windows.h first: psapi.h builds on its types.
#include <psapi.h>

namespace directive_host::platform {

std::size_t ProcessMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters,
                               sizeof counters)) {
    return 0;
  }
  return counters.PagefileUsage;
}

std::size_t HeapBytesInUse() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!K32GetProcessMemoryInfo(
          GetCurrentProcess(),
          reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
          sizeof counters)) {
    return 0;
  }
  return counters.PrivateUsage;
}

std::size_t ProcessHandleCount() {
  DWORD count = 0;
  return GetProcessHandleCount(GetCurrentProcess(), &count) ? count : 0;
}

bool ModuleIsLoaded(const std::string &fileName) {
  return GetModuleHandleA(fileName.c_str()) != nullptr;
}

} // namespace directive_host::platform
