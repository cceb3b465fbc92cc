// 32-bit Windows: each call pushes its three arguments itself, calls, and
// compares the stack pointer with the one it started from. A stdcall
// callback pops its arguments as it returns; a cdecl one leaves them. Built
// with a frame pointer (see CMakeLists.txt), so that an exception leaving a
// callback unwinds through the call.
#include "platform/CallbackCall.h"

namespace directive_host::platform {

namespace {

struct Arguments {
  const void *proc;
  std::uintptr_t first;
  std::uintptr_t second;
  std::uintptr_t third;
};

std::ptrdiff_t CallWithThree(const Arguments &arguments) {
  std::ptrdiff_t left = 0;
  // esi (kept by every callee) holds the stack pointer across the call.
  __asm__ volatile("movl %%esp, %%esi\n\t"
                   "pushl 12(%%edi)\n\t"
                   "pushl 8(%%edi)\n\t"
                   "pushl 4(%%edi)\n\t"
                   "call *(%%edi)\n\t"
                   "movl %%esi, %%ecx\n\t"
                   "subl %%esp, %%ecx\n\t"
                   "movl %%esi, %%esp\n\t"
                   : "=c"(left)
                   : "D"(&arguments)
                   : "eax", "edx", "esi", "memory", "cc");
  return left;
}

std::uintptr_t Word(const void *pointer) {
  return reinterpret_cast<std::uintptr_t>(pointer);
}

} // namespace

bool StackPointerCompared() { return true; }

std::ptrdiff_t CallBack(ParseProc proc, const char *text, char *out,
                        std::uint32_t extra) {
  return CallWithThree(
      {reinterpret_cast<const void *>(proc), Word(text), Word(out), extra});
}

std::ptrdiff_t CallBack(AssembleProc proc, const char *keyword,
                        const char *properties, char *out) {
  return CallWithThree({reinterpret_cast<const void *>(proc), Word(keyword),
                        Word(properties), Word(out)});
}

} // namespace directive_host::platform
