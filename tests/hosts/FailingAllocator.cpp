#include "FailingAllocator.h"

#include <dlfcn.h>

#include <cstdlib>
#include <new>

namespace {

bool recording = false;
std::size_t failFrom = AllocationRecord::kNever;
Allocations seen;

using Malloc = void *(*)(std::size_t);

// The malloc this one stands in front of: the C library's, or a
// sanitizer's.
Malloc NextMalloc() {
  static Malloc next = nullptr;
  if (next == nullptr) {
    next = reinterpret_cast<Malloc>(dlsym(RTLD_NEXT, "malloc"));
  }
  return next;
}

} // namespace

extern "C" void *malloc(std::size_t size) {
  if (recording) {
    const bool refuse = seen.count >= failFrom;
    ++seen.count;
    seen.largest = size > seen.largest ? size : seen.largest;
    if (refuse) {
      seen.refused = true;
      return nullptr;
    }
  }
  return NextMalloc()(size);
}

// The C++ runtime's allocation functions, replaced so that they come here
// too: a sanitizer's runtime would otherwise serve them itself, past malloc.
void *operator new(std::size_t size) {
  void *memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return memory;
}
void *operator new[](std::size_t size) { return operator new(size); }
// Through the throwing ones, catching, as the C++ runtime's own do.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  try {
    return operator new[](size);
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}
void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete[](void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void *memory, std::size_t) noexcept {
  std::free(memory);
}

AllocationRecord::AllocationRecord(std::size_t fail) {
  seen = {};
  failFrom = fail;
  recording = true;
}

AllocationRecord::~AllocationRecord() { recording = false; }

Allocations AllocationRecord::Seen() const { return seen; }
