// An out buffer of DIRECTIVE_RESULT_CAPACITY bytes that ends right before an
// inaccessible page, so that a callback writing past the capacity faults at
// once instead of corrupting memory quietly. One implementation per
// platform.
#pragma once

#include <cstddef>

namespace directive_host::platform {

class GuardedBuffer {
public:
  // Every byte of the buffer starts as 'X'.
  GuardedBuffer();
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer &) = delete;
  GuardedBuffer &operator=(const GuardedBuffer &) = delete;

  // The first of the DIRECTIVE_RESULT_CAPACITY bytes; the guard page follows
  // the last.
  char *data() { return data_; }

private:
  char *base_ = nullptr;
  char *data_ = nullptr;
  std::size_t size_ = 0;
};

} // namespace directive_host::platform
