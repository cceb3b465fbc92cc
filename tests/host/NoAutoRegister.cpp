// A module that loads but offers no AutoRegister.
#include "directive_plugin.h"

extern "C" DIRECTIVE_EXPORT int NotAutoRegister(void) { return 0; }
