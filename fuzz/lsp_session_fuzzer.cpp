// The language server on any bytes between an opening and a last request:
// whatever frames, headers and JSON they hold, the server neither crashes
// nor goes deaf. The request after them is answered, unless they held an
// exit, and nothing is buffered past the reader's limits.
#include "FuzzCheck.h"
#include "lsp/Protocol.h"
#include "lsp/Server.h"
#include "lsp/Session.h"
#include "plugins/LoadedPlugins.h"

#include <sstream>
#include <string>

namespace {

using directive_host::lsp::Json;

std::string Framed(const std::string &body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// Initialized, with a script open, so that the bytes reach the handlers.
const std::string kOpening =
    Framed(R"({"jsonrpc":"2.0","id":0,"method":"initialize",)"
           R"("params":{"capabilities":{}}})") +
    Framed(R"({"jsonrpc":"2.0","method":"initialized","params":{}})") +
    Framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":)"
           R"({"textDocument":{"uri":"file:///f","version":1,"text":)"
           R"("#LABEL = a\n#GOTO = a\n#IF \"$X\" == \"\" goto b\n"}}})");

const std::string kLastRequest =
    Framed(R"({"jsonrpc":"2.0","id":"last","method":"textDocument/hover",)"
           R"("params":{"textDocument":{"uri":"file:///f"},)"
           R"("position":{"line":1,"character":8}}})");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  static const directive_host::LoadedPlugins plugins({});
  std::istringstream in(
      kOpening + std::string(reinterpret_cast<const char *>(data), size) +
      kLastRequest);
  bool answered = false;
  directive_host::lsp::Server server(
      plugins.Keywords(),
      [&](const std::string &message) {
        const Json sent = Json::parse(message);
        Require(sent.is_object() && sent.contains("jsonrpc"),
                "the server sent no message");
        answered = answered || sent.value("id", Json()) == "last";
      },
      [](const std::string &) {});
  directive_host::lsp::Serve(server, in, [](int) { return false; });
  Require(answered || server.Exited(), "the last request got no answer");
  return 0;
}
