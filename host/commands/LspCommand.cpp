#include "commands/LspCommand.h"

#include "io/Output.h"
#include "lsp/Frames.h"
#include "lsp/Server.h"
#include "platform/StandardInput.h"

#include <iostream>

namespace directive_host::lsp {

int Serve(const Registry &registry, std::istream &in, std::ostream &out,
          const std::function<bool(int)> &waiting) {
  const auto log = [](const std::string &line) {
    WriteDiagnostic("directive-host lsp: " + line);
  };
  Server server(
      registry, [&](const std::string &message) { WriteFrame(out, message); },
      log);
  FrameReader reader(in);
  const auto interrupted = [&] { return reader.Buffered() || waiting(0); };
  while (!server.Exited()) {
    // Every message the client has queued is taken before anything is
    // analysed.
    if (server.Unsettled() && !reader.Buffered() && !waiting(kSettleDelayMs)) {
      server.Settle(interrupted);
      continue;
    }
    const Frame frame = reader.Next();
    if (frame.kind == Frame::Kind::kEnd) {
      break;
    }
    if (frame.kind == Frame::Kind::kDropped) {
      log("a frame is dropped: " + frame.body);
    } else if (!server.Receive(frame.body)) {
      // No JSON: it may be cut short by the next frame's header.
      reader.Reread(frame.body);
    }
  }
  return server.ExitCode();
}

int RunLspCommand(const Invocation &, const Registry &registry) {
  platform::StandardInput input;
  std::istream in(&input);
  return Serve(registry, in, std::cout,
               [&](int milliseconds) { return input.Waiting(milliseconds); });
}

} // namespace directive_host::lsp
