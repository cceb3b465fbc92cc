#include "commands/LspCommand.h"

#include "io/Output.h"
#include "lsp/Frames.h"
#include "lsp/Server.h"
#include "lsp/Session.h"
#include "platform/StandardInput.h"

#include <iostream>

namespace directive_host::lsp {

int RunLspCommand(const Invocation &, const Registry &registry) {
  platform::StandardInput input;
  std::istream in(&input);
  Server server(
      registry,
      [](const std::string &message) { WriteFrame(std::cout, message); },
      [](const std::string &line) {
        WriteDiagnostic("directive-host lsp: " + line);
      });
  return Serve(server, in,
               [&](int milliseconds) { return input.Waiting(milliseconds); });
}

} // namespace directive_host::lsp
