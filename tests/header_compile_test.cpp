// The public header as a C++ host sees it.
#include "directive_plugin.h"

#include <type_traits>

static_assert(DIRECTIVE_RESULT_CAPACITY == 65536);
static_assert(sizeof(DirectiveBool) == 1);
static_assert(std::is_same_v<decltype(&AutoRegister), AutoRegisterProc>);
static_assert(std::is_same_v<ParseProc, DirectiveBool(DIRECTIVE_CALL *)(
                                            const char *, char *, uint32_t)>);
static_assert(
    std::is_same_v<AssembleProc, DirectiveBool(DIRECTIVE_CALL *)(
                                     const char *, const char *, char *)>);

extern "C" DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL
HeaderCompilesAsCxx(const char *keyword, ParseProc parse,
                    AssembleProc assemble) {
  return keyword != nullptr && parse != nullptr && assemble != nullptr;
}
