// directive-host lsp: the language server on standard input and output.
#pragma once

#include "app/CommandLine.h"
#include "plugins/Registry.h"

#include <istream>
#include <ostream>

namespace directive_host::lsp {

// Serves the client on `in` and `out` until it sends exit or `in` ends;
// lines for the client's log go to standard error. Returns the exit code.
int Serve(const Registry &registry, std::istream &in, std::ostream &out);

// The command: Serve on the standard streams.
int RunLspCommand(const Invocation &invocation, const Registry &registry);

} // namespace directive_host::lsp
