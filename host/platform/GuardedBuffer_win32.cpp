#include "platform/GuardedBuffer.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace directive_host::platform {

GuardedBuffer::GuardedBuffer(std::size_t size) : size_(size) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  const std::size_t page = info.dwPageSize;
  dataPagesBytes_ = (size + page - 1) / page * page;
  base_ = static_cast<char *>(VirtualAlloc(nullptr, dataPagesBytes_ + page,
                                           MEM_RESERVE | MEM_COMMIT,
                                           PAGE_READWRITE));
  DWORD old = 0;
  if (base_ == nullptr ||
      !VirtualProtect(base_ + dataPagesBytes_, page, PAGE_NOACCESS, &old)) {
    throw std::bad_alloc();
  }
  data_ = base_ + dataPagesBytes_ - size;
  std::memset(data_, 'X', size);
}

GuardedBuffer::~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }

bool GuardedBuffer::SetReadOnly(bool readOnly) {
  DWORD old = 0;
  return dataPagesBytes_ == 0 ||
         VirtualProtect(base_, dataPagesBytes_,
                        readOnly ? PAGE_READONLY : PAGE_READWRITE, &old);
}

} // namespace directive_host::platform
