// The one way callbacks read host strings and write results, so that the
// buffer contract of the public header holds everywhere.
#pragma once

#include <string_view>

// A host string as a view; null reads as the empty string.
std::string_view HostString(const char *text);

// Writes `result` and its NUL to `out`, or the empty string when they would
// not fit in DIRECTIVE_RESULT_CAPACITY bytes. A null `out` gets nothing.
void WriteResult(char *out, std::string_view result);
