#include "platform/GuardedBuffer.h"

#include "directive_plugin.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace directive_host::platform {

GuardedBuffer::GuardedBuffer() {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t dataPages = (DIRECTIVE_RESULT_CAPACITY + page - 1) / page;
  size_ = (dataPages + 1) * page;
  void *base = mmap(nullptr, size_, PROT_READ | PROT_WRITE,
                    MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED ||
      mprotect(static_cast<char *>(base) + dataPages * page, page, PROT_NONE) !=
          0) {
    throw std::bad_alloc();
  }
  base_ = static_cast<char *>(base);
  data_ = base_ + dataPages * page - DIRECTIVE_RESULT_CAPACITY;
  std::memset(data_, 'X', DIRECTIVE_RESULT_CAPACITY);
}

GuardedBuffer::~GuardedBuffer() { munmap(base_, size_); }

} // namespace directive_host::platform
