#include "platform/ProcessProbe.h"

#include <filesystem>
#include <fstream>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sstream>
#include <system_error>

namespace directive_host::platform {

std::size_t ProcessMemoryBytes() {
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
}

std::size_t HeapBytesInUse() {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) &&                    \
    !defined(__SANITIZE_THREAD__)
  const struct mallinfo2 heap = mallinfo2();
  return heap.uordblks + heap.hblkhd;
#else
  return 0;
#endif
}

std::size_t ProcessHandleCount() {
  std::error_code error;
  std::size_t count = 0;
  for (std::filesystem::directory_iterator it("/proc/self/fd", error), end;
       !error && it != end; it.increment(error)) {
    ++count;
  }
  return error ? 0 : count;
}

bool ModuleIsLoaded(const std::string &fileName) {
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
}

} // namespace directive_host::platform
