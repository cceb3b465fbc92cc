// An allocator that fails on demand. A test host that links
// FailingAllocator.cpp defines malloc and the global operator new itself and
// exports them, so that the plug-in module, and the C++ runtime it allocates
// through, get their memory from it (Linux only: a Windows DLL carries a
// runtime of its own).
#pragma once

#include <cstddef>
#include <limits>

// What happened to the allocations made while an AllocationRecord lived.
struct Allocations {
  std::size_t count = 0;   // requests, refused ones included
  std::size_t largest = 0; // bytes of the largest request
  bool refused = false;    // whether one of them was refused
};

// Records every malloc of this process while it lives, and refuses the
// `failFrom`-th request (counting from 0) and every one after it: memory
// that has run out stays out. Not thread-safe: one record at a time, on the
// thread that makes the calls.
class AllocationRecord {
public:
  static constexpr std::size_t kNever = std::numeric_limits<std::size_t>::max();

  explicit AllocationRecord(std::size_t failFrom = kNever);
  ~AllocationRecord();
  AllocationRecord(const AllocationRecord &) = delete;
  AllocationRecord &operator=(const AllocationRecord &) = delete;

  // What was allocated so far.
  Allocations Seen() const;
};
