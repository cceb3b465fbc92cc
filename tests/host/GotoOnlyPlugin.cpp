// A plug-in module for the end-to-end tests that registers "#GOTO" alone,
// for a host that has no "#LABEL". Its parse reads "#GOTO = LABEL" as the
// property text "label=LABEL", and anything without '=' as nothing.
#include "LabelCallbacks.h"
#include "directive_plugin.h"

// Resolved against the host executable when the module loads.
extern "C" DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble);

extern "C" DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) {
  RegisterParseAssemblePlugins("#GOTO", test_callbacks::LabelParse,
                               test_callbacks::LabelAssemble);
}
