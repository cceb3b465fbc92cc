#include "commands/LspCommand.h"

#include "io/Output.h"
#include "lsp/Frames.h"
#include "lsp/Server.h"

#include <iostream>

namespace directive_host::lsp {

int Serve(const Registry &registry, std::istream &in, std::ostream &out) {
  const auto log = [](const std::string &line) {
    WriteDiagnostic("directive-host lsp: " + line);
  };
  Server server(
      registry, [&](const std::string &message) { WriteFrame(out, message); },
      log);
  while (!server.Exited()) {
    const Frame frame = ReadFrame(in);
    if (frame.kind == Frame::Kind::kEnd) {
      break;
    }
    if (frame.kind == Frame::Kind::kMalformed) {
      log("a frame is dropped: " + frame.body);
      continue;
    }
    server.Receive(frame.body);
  }
  return server.ExitCode();
}

int RunLspCommand(const Invocation &, const Registry &registry) {
  return Serve(registry, std::cin, std::cout);
}

} // namespace directive_host::lsp
