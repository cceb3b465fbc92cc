#include "lsp/Session.h"

#include "lsp/Frames.h"

namespace directive_host::lsp {

int Serve(Server &server, std::istream &in,
          const std::function<bool(int)> &waiting) {
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
      server.Log("a frame is dropped: " + frame.body);
    } else if (!server.Receive(frame.body)) {
      // No JSON: it may be cut short by the next frame's header.
      reader.Reread(frame.body);
    }
  }
  return server.ExitCode();
}

} // namespace directive_host::lsp
