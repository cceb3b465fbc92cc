// The public header as a C++ host sees it; written in C++11, the oldest
// standard a host may compile it with.
#include "directive_plugin.h"

#include <type_traits>

namespace {

constexpr bool Same(const char *a, const char *b) {
  return *a == *b && (*a == '\0' || Same(a + 1, b + 1));
}

} // namespace

#define DIRECTIVE_TEST_STRING(x) #x
#define DIRECTIVE_TEST_NUMBER(x) DIRECTIVE_TEST_STRING(x)

static_assert(Same(DIRECTIVE_PLUGIN_VERSION_STRING,
                   DIRECTIVE_TEST_NUMBER(DIRECTIVE_PLUGIN_VERSION_MAJOR) "." //
                   DIRECTIVE_TEST_NUMBER(DIRECTIVE_PLUGIN_VERSION_MINOR) "." //
                   DIRECTIVE_TEST_NUMBER(DIRECTIVE_PLUGIN_VERSION_PATCH)),
              "the version string spells the version numbers");
static_assert(DIRECTIVE_RESULT_CAPACITY == 65536, "capacity");
static_assert(sizeof(DirectiveBool) == 1, "one-byte truth value");
static_assert(std::is_same<decltype(&AutoRegister), AutoRegisterProc>::value,
              "AutoRegister has the type hosts call it through");
static_assert(
    std::is_same<ParseProc, DirectiveBool(DIRECTIVE_CALL *)(
                                const char *, char *, uint32_t)>::value,
    "ParseProc");
static_assert(
    std::is_same<AssembleProc, DirectiveBool(DIRECTIVE_CALL *)(
                                   const char *, const char *, char *)>::value,
    "AssembleProc");

extern "C" DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL
HeaderCompilesAsCxx(const char *keyword, ParseProc parse,
                    AssembleProc assemble) {
  return keyword != nullptr && parse != nullptr && assemble != nullptr;
}
