#include "platform/GuardedBuffer.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace directive_host::platform {

GuardedBuffer::GuardedBuffer(std::size_t size) : size_(size) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  dataPagesBytes_ = (size + page - 1) / page * page;
  void *base = mmap(nullptr, dataPagesBytes_ + page, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED ||
      mprotect(static_cast<char *>(base) + dataPagesBytes_, page, PROT_NONE) !=
          0) {
    throw std::bad_alloc();
  }
  base_ = static_cast<char *>(base);
  data_ = base_ + dataPagesBytes_ - size;
  std::memset(data_, 'X', size);
}

GuardedBuffer::~GuardedBuffer() {
  munmap(base_,
         dataPagesBytes_ + static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));
}

bool GuardedBuffer::SetReadOnly(bool readOnly) {
  return dataPagesBytes_ == 0 ||
         mprotect(base_, dataPagesBytes_,
                  readOnly ? PROT_READ : PROT_READ | PROT_WRITE) == 0;
}

} // namespace directive_host::platform
