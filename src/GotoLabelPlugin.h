// Callbacks of the "#LABEL" and "#GOTO" directives, which carry one label
// name: «#LABEL = "start"» <-> «label=start».
#pragma once

#include "directive_plugin.h"

DirectiveBool DIRECTIVE_CALL LabelGotoParse(const char *text, char *out,
                                            uint32_t extra);
DirectiveBool DIRECTIVE_CALL LabelGotoAssemble(const char *keyword,
                                               const char *properties,
                                               char *out);
