// Where the platform has one calling convention: plain calls.
#include "platform/CallbackCall.h"

namespace directive_host::platform {

bool StackPointerCompared() { return false; }

std::ptrdiff_t CallBack(ParseProc proc, const char *text, char *out,
                        std::uint32_t extra) {
  proc(text, out, extra);
  return 0;
}

std::ptrdiff_t CallBack(AssembleProc proc, const char *keyword,
                        const char *properties, char *out) {
  proc(keyword, properties, out);
  return 0;
}

} // namespace directive_host::platform
