// The server in process: messages in, messages out.
#include "LspTestSupport.h"
#include "lsp/Server.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using directive_host::lsp::Json;
using directive_host::lsp::Server;

// A JSON array nested `depth` deep: deep enough that copying it, which
// recurses once per level, would overflow the stack.
std::string Nested(std::size_t depth) {
  return std::string(depth, '[') + std::string(depth, ']');
}

TEST(Server, ReadsWhatTheClientNestsDeepWithoutCopyingIt) {
  const std::string deep = Nested(300000);
  const struct {
    std::string message;
    std::string answer; // where the first message sent has `value`, or ""
    Json value;
  } cases[] = {
      {R"({"jsonrpc":"2.0","id":2,"method":"no/such","params":{"x":)" + deep +
           "}}",
       "/error/code", -32601},
      {R"({"jsonrpc":"2.0","id":)" + deep + R"(,"method":"shutdown"})",
       "/error/code", -32600},
      {R"({"jsonrpc":"2.0","method":"initialized","params":)" + deep + "}", "",
       nullptr},
      {R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":)"
       R"({"textDocument":{"uri":"file:///a","text":"","version":)" +
           deep + "}}}",
       "/method", "textDocument/publishDiagnostics"},
  };
  for (const auto &c : cases) {
    std::vector<Json> sent;
    Server server(
        Plugins(),
        [&](const std::string &message) {
          sent.push_back(Json::parse(message));
        },
        [](const std::string &) {});
    server.Receive(R"({"jsonrpc":"2.0","id":1,"method":"initialize",)"
                   R"("params":{"capabilities":{}}})");
    sent.clear();
    server.Receive(c.message);
    server.Settle([] { return false; });
    // Then the server still answers.
    server.Receive(R"({"jsonrpc":"2.0","id":3,"method":"shutdown"})");
    ASSERT_EQ(sent.size(), c.answer.empty() ? 1u : 2u) << c.answer;
    if (!c.answer.empty()) {
      EXPECT_EQ(sent[0].value(Json::json_pointer(c.answer), Json()), c.value);
    }
    EXPECT_EQ(sent.back()["id"], 3);
    EXPECT_EQ(server.ExitCode(), 0);
  }
}

} // namespace
