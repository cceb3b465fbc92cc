// directive-host lsp: the language server on standard input and output.
#pragma once

#include "app/CommandLine.h"
#include "plugins/Registry.h"

namespace directive_host::lsp {

// The command: a session on the standard streams.
int RunLspCommand(const Invocation &invocation, const Registry &registry);

} // namespace directive_host::lsp
