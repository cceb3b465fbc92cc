// What a process can observe of itself: how much memory and how many
// handles it holds, and which modules are loaded. Each answer is the
// system's own bookkeeping. One implementation per platform.
#pragma once

#include <cstddef>
#include <string>

namespace directive_host::platform {

// Bytes of memory the process holds: the resident set on Linux, the private
// commit on Windows; 0 when the system does not say.
std::size_t ProcessMemoryBytes();

// Bytes of memory the module's allocations hold, as finely as the system
// tells: the C library's heap in use on glibc, the busy blocks of
// every heap on Windows; 0 when the system does not say, or under a sanitizer
// or valgrind, whose allocator the C library does not see.
std::size_t HeapBytesInUse();

// Open file descriptors on Linux, kernel handles on Windows; 0 when the
// system does not say.
std::size_t ProcessHandleCount();

// True while a module of file name `fileName` is mapped into the process.
bool ModuleIsLoaded(const std::string &fileName);

} // namespace directive_host::platform
