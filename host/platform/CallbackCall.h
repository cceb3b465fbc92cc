// Calls of a module's callbacks that survive a callback of the wrong calling
// convention and tell it: on 32-bit Windows a callback compiled without
// DIRECTIVE_CALL (cdecl) leaves its arguments on its caller's stack, which
// these calls measure and put right. One implementation for 32-bit Windows,
// where the convention can be got wrong, and one for everywhere else.
#pragma once

#include "directive_plugin.h"

#include <cstddef>
#include <cstdint>

namespace directive_host::platform {

// Whether calls here can leave the stack pointer off at all.
bool StackPointerCompared();

// Each calls `proc` and returns the bytes of arguments it left on the stack
// (0 for a callback of the ABI's convention), the stack pointer already put
// back.
std::ptrdiff_t CallBack(ParseProc proc, const char *text, char *out,
                        std::uint32_t extra);
std::ptrdiff_t CallBack(AssembleProc proc, const char *keyword,
                        const char *properties, char *out);

} // namespace directive_host::platform
