#include "platform/GuardedBuffer.h"

#include "directive_plugin.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace directive_host::platform {

GuardedBuffer::GuardedBuffer() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const std::size_t page = info.dwPageSize;
  const std::size_t dataPages = (DIRECTIVE_RESULT_CAPACITY + page - 1) / page;
  size_ = (dataPages + 1) * page;
  base_ = static_cast<char *>(
      VirtualAlloc(nullptr, size_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  if (base_ == nullptr ||
      !VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old)) {
    throw std::bad_alloc();
  }
  data_ = base_ + dataPages * page - DIRECTIVE_RESULT_CAPACITY;
  std::memset(data_, 'X', DIRECTIVE_RESULT_CAPACITY);
}

GuardedBuffer::~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }

} // namespace directive_host::platform
