// directive-host lsp: the language server on standard input and output.
#pragma once

#include "app/CommandLine.h"
#include "plugins/Registry.h"

#include <functional>
#include <istream>
#include <ostream>

namespace directive_host::lsp {

// How long the input must stay quiet after a change before the changed
// documents are analysed and their diagnostics published: a burst of
// changes (typing, an undo of many) is worked out once, for its last.
inline constexpr int kSettleDelayMs = 50;

// Serves the client on `in` and `out` until it sends exit or `in` ends;
// lines for the client's log go to standard error. `waiting(ms)` tells
// whether more of `in` comes within ms milliseconds. Returns the exit code.
int Serve(const Registry &registry, std::istream &in, std::ostream &out,
          const std::function<bool(int)> &waiting);

// The command: Serve on the standard streams.
int RunLspCommand(const Invocation &invocation, const Registry &registry);

} // namespace directive_host::lsp
