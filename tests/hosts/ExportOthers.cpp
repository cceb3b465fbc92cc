// The five host entry points the plug-in binds but must never call.
#include "Recorder.h"

extern "C" {

DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterEditPlugin(void) {
  ++OtherEntryPointCalls()[0];
}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterValidatePlugin(void) {
  ++OtherEntryPointCalls()[1];
}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterTypeEditPlugin(void) {
  ++OtherEntryPointCalls()[2];
}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterTypeValidatePlugin(void) {
  ++OtherEntryPointCalls()[3];
}
DIRECTIVE_HOST_EXPORT void DIRECTIVE_CALL RegisterInclusion(void) {
  ++OtherEntryPointCalls()[4];
}

} // extern "C"
