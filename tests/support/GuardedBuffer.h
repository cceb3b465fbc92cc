// An out buffer of DIRECTIVE_RESULT_CAPACITY bytes that ends right before an
// inaccessible page, so a write past the capacity crashes the test.
#pragma once

#include "directive_plugin.h"

#include <cstddef>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

class GuardedBuffer {
public:
  GuardedBuffer() {
    const std::size_t page = PageSize();
    const std::size_t dataPages = (DIRECTIVE_RESULT_CAPACITY + page - 1) / page;
    size_ = (dataPages + 1) * page;
#ifdef _WIN32
    base_ = static_cast<char *>(
        VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
#else
    base_ = static_cast<char *>(mmap(nullptr, size_, PROT_READ | PROT_WRITE,
                                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(base_ + dataPages * page, page, PROT_NONE);
#endif
    data_ = base_ + dataPages * page - DIRECTIVE_RESULT_CAPACITY;
    std::memset(data_, 'X', DIRECTIVE_RESULT_CAPACITY);
  }
  ~GuardedBuffer() {
#ifdef _WIN32
    VirtualFree(base_, 0, MEM_RELEASE);
#else
    munmap(base_, size_);
#endif
  }
  GuardedBuffer(const GuardedBuffer &) = delete;
  GuardedBuffer &operator=(const GuardedBuffer &) = delete;

  char *data() { return data_; }

private:
  static std::size_t PageSize() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
#else
    return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
#endif
  }

  char *base_ = nullptr;
  char *data_ = nullptr;
  std::size_t size_ = 0;
};
