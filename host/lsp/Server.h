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

  // Handles one message as the client framed it; false when it was no JSON
  // at all. Nothing it holds stops the server but `exit`. A change is only
  // applied to the text: what it means is worked out once the changes
  // queued behind it are applied too (Settle), or a request needs it.
  bool Receive(std::string_view body);

  // Whether a document's diagnostics are not yet published for its latest
  // version.
  bool Unsettled() const;
  // Analyses each such document and publishes its diagnostics, unless
  // `interrupted` says, once a document is analysed, that more input has
  // come, which may change it again: the analysis is then kept, and
  // published by the next call if nothing changed it.
  void Settle(const std::function<bool()> &interrupted);

  // A line for the client's log.
  void Log(const std::string &line) const { log_(line); }

  bool Exited() const { return exited_; }
  // 0 when the client asked for a shutdown before the exit (or before the
  // input ended), else 1.
  int ExitCode() const { return shutDown_ ? 0 : 1; }

private:
  struct Document {
    Json version;
    std::string text;
    // Of `text`, once something needed it; null while changes are
    // applied.
    mutable std::unique_ptr<const Analysis> analysis;
    bool published = false;
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
  const Analysis &AnalysisOf(const Document &document) const;
  void Publish(const std::string &uri);
  void Store(const std::string &uri, const Json &version, std::string text);
  // After `document`'s text changed: it is `version`, not yet analysed.
  static void Changed(Document &document, const Json &version);

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
  ClientPreferences client_;
  bool initialized_ = false;
  bool shutDown_ = false;
  bool exited_ = false;
  std::map<std::string, Document, std::less<>> documents_;
};

} // namespace directive_host::lsp
