// A session of the language server over a byte stream: frames read as they
// come, handed to the server, and the documents settled whenever the client
// has nothing more queued.
#pragma once

#include "lsp/Server.h"

#include <functional>
#include <istream>

namespace directive_host::lsp {

// How long the input must stay quiet after a change before the changed
// documents are analysed and their diagnostics published: a burst of
// changes (typing, an undo of many) is worked out once, for its last.
inline constexpr int kSettleDelayMs = 50;

// Feeds `server` the frames of `in` until it has exited or `in` ends;
// `waiting(ms)` tells whether more of `in` comes within ms milliseconds.
// Returns the server's exit code.
int Serve(Server &server, std::istream &in,
          const std::function<bool(int)> &waiting);

} // namespace directive_host::lsp
