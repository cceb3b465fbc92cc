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

// The busy blocks of every heap of the process, the C library's among
// them: exact where the private commit moves a page at a time, or (under
// Wine) not at all.
std::size_t HeapBytesInUse() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  if (count == 0 || count > 64) {
    return 0;
  }
  std::size_t bytes = 0;
  for (DWORD h = 0; h < count; ++h) {
    if (!HeapLock(heaps[h])) {
      continue;
    }
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[h], &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
        bytes += entry.cbData;
      }
    }
    HeapUnlock(heaps[h]);
  }
  return bytes;
}

std::size_t ProcessHandleCount() {
  DWORD count = 0;
  return GetProcessHandleCount(GetCurrentProcess(), &count) ? count : 0;
}

bool ModuleIsLoaded(const std::string &fileName) {
  return GetModuleHandleA(fileName.c_str()) != nullptr;
}

} // namespace directive_host::platform
