// Callbacks of the "#IF" directive, which compares two arguments and names an
// action: «#IF "x" == "y" goto done» <-> argument1, operator, argument2,
// action and actionvalue.
#pragma once

#include "directive_plugin.h"

DirectiveBool DIRECTIVE_CALL IfParse(const char *text, char *out,
                                     uint32_t extra);
DirectiveBool DIRECTIVE_CALL IfAssemble(const char *keyword,
                                        const char *properties, char *out);
