// Writing results to standard output and diagnostics to standard error.
#pragma once

#include <string>
#include <string_view>

namespace directive_host {

// Appends to standard output.
void WriteOutput(std::string_view bytes);

// Writes one line to standard error.
void WriteDiagnostic(const std::string &line);

// Flushes standard output; throws when anything written to it was lost.
void FinishOutput();

} // namespace directive_host
