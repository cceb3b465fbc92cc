// The language server: the life cycle of a session, the documents the
// client has open, and the dispatch of each message to what answers it.
#pragma once

#include "lsp/Analysis.h"
#include "lsp/Protocol.h"
#include "lsp/Requests.h"
#include "lsp/TextPositions.h"
#include "plugins/Registry.h"

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace directive_host::lsp {

class Server {
public:
  // `send` writes one message to the client; `log` one line for its log.
  using Writer = std::function<void(const std::string &)>;
  Server(const Registry &registry, Writer send, Writer log);

  // Handles one message as the client framed it. Nothing it holds stops the
  // server but `exit`.
  void Receive(std::string_view body);

  bool Exited() const { return exited_; }
  // 0 when the client asked for a shutdown before the exit (or before the
  // input ended), else 1.
  int ExitCode() const { return shutDown_ ? 0 : 1; }

private:
  struct Document {
    Json version;
    std::unique_ptr<const Analysis> analysis;
  };
  using Request = Json (Server::*)(const Json &params);
  using Notification = void (Server::*)(const Json &params);

  // A method the server takes: what handles it, and the capability that
  // initialize announces for it.
  struct Method {
    std::string_view name;
    Request request = nullptr;
    Notification notification = nullptr;
    DocumentRequest aboutDocument = nullptr; // a request about a document
    // The capability's name, or empty; its value is true unless `offer`
    // makes it, from the client's capabilities.
    std::string_view provider = {};
    Json (*offer)(const Json &client) = nullptr;
  };
  // Every method, bound once.
  static std::span<const Method> Methods();
  static const Method *FindMethod(std::string_view name);

  void Dispatch(const Json &message);
  void Answer(const Json &id, Json result);
  void Refuse(const Json &id, int code, const std::string &message);

  // The answer of `request` about the document that `params` names; null
  // when the client never opened it.
  Json AnswerAbout(DocumentRequest request, const Json &params) const;
  void Publish(const std::string &uri);
  void Store(const std::string &uri, const Json &version, std::string text);

  Json Initialize(const Json &params);
  Json Shutdown(const Json &params);

  void Initialized(const Json &params);
  void Exit(const Json &params);
  void DidOpen(const Json &params);
  void DidChange(const Json &params);
  void DidClose(const Json &params);

  const Registry &registry_;
  Writer send_;
  Writer log_;
  PositionEncoding encoding_ = PositionEncoding::kUtf16;
  bool initialized_ = false;
  bool shutDown_ = false;
  bool exited_ = false;
  std::map<std::string, Document, std::less<>> documents_;
};

} // namespace directive_host::lsp
