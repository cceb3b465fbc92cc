// A shared library of the host, not the host executable, that exports
// RegisterParseAssemblePlugins. The plug-in must not bind it.
#include "directive_plugin.h"

namespace {
int calls = 0;
}

extern "C" {

DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL
RegisterParseAssemblePlugins(const char *, ParseProc, AssembleProc) {
  ++calls;
  return 1;
}

DIRECTIVE_HOST_EXPORT int LibraryRegistrationCalls(void) { return calls; }

} // extern "C"
