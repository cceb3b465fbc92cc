// The host entry point the plug-in registers its keywords through.
#include "Recorder.h"

extern "C" DIRECTIVE_HOST_EXPORT DirectiveBool DIRECTIVE_CALL
RegisterParseAssemblePlugins(const char *keyword, ParseProc parse,
                             AssembleProc assemble) {
  Registrations().push_back({keyword, parse, assemble});
  return 1;
}
