// A buffer that ends right before an inaccessible page, so that a callback
// writing past its out buffer's capacity, or reading past the NUL of an
// input, faults at once instead of going unnoticed; its pages can be made
// read-only. One implementation per platform.
#pragma once

#include "directive_plugin.h"

#include <cstddef>

namespace directive_host::platform {

class GuardedBuffer {
public:
  // `size` bytes, each 'X' to start with.
  explicit GuardedBuffer(std::size_t size = DIRECTIVE_RESULT_CAPACITY);
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer &) = delete;
  GuardedBuffer &operator=(const GuardedBuffer &) = delete;

  // The first of the bytes; the guard page follows the last.
  char *data() { return data_; }
  std::size_t size() const { return size_; }

  // Makes the pages of the bytes read-only, or writable again; false when
  // the system refuses.
  bool SetReadOnly(bool readOnly);

private:
  char *base_ = nullptr;
  char *data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t dataPagesBytes_ = 0;
};

} // namespace directive_host::platform
