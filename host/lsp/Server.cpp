#include "lsp/Server.h"

#include "lsp/Diagnostics.h"
#include "lsp/Requests.h"

#include "directive_plugin.h"

#include <optional>
#include <utility>
#include <vector>

namespace directive_host::lsp {

namespace {

constexpr int kSyncIncremental = 2;

} // namespace

Server::Server(const Registry &registry, Writer send, Writer log)
    : registry_(registry), send_(std::move(send)), log_(std::move(log)) {}

bool Server::Receive(std::string_view body) {
  if (exited_) {
    return true;
  }
  try {
    // A byte that is not UTF-8 is read as U+FFFD rather than costing the
    // message, so that a change keeps the text in step with the client's.
    std::string repaired;
    const std::size_t invalid = RepairUtf8(body, repaired);
    if (invalid > 0) {
      log_("a message holds " + std::to_string(invalid) +
           (invalid == 1 ? " byte" : " bytes") +
           " that are not UTF-8, each read as U+FFFD");
      body = repaired;
    }
    const Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded()) {
      Refuse(nullptr, kParseError, "the message is not JSON");
      return false;
    }
    Dispatch(message);
  } catch (const std::exception &error) {
    log_(std::string("cannot handle a message: ") + error.what());
  }
  return true;
}

bool Server::Unsettled() const {
  for (const auto &[uri, document] : documents_) {
    if (!document.published) {
      return true;
    }
  }
  return false;
}

void Server::Settle(const std::function<bool()> &interrupted) {
  for (auto &[uri, document] : documents_) {
    if (document.published) {
      continue;
    }
    AnalysisOf(document);
    if (interrupted()) {
      return;
    }
    Publish(uri);
  }
}

void Server::Dispatch(const Json &message) {
  if (!message.is_object()) {
    Refuse(nullptr, kInvalidRequest, "a message must be a JSON object");
    return;
  }
  // What the client sent is read in place, never copied: a copy recurses
  // as deep as the JSON nests, and a client may nest it deep enough to
  // overflow the stack. Only an id that is a number or a string, and a
  // version that is a number, are kept.
  const bool isRequest = message.contains("id");
  const Json &id = Member(message, {"id"});
  if (isRequest && !id.is_number_integer() && !id.is_string()) {
    Refuse(nullptr, kInvalidRequest,
           "a request's id must be a number or a string");
    return;
  }
  const Json &method = Member(message, {"method"});
  if (!method.is_string()) {
    // A response, to a request that this server never sends, is dropped.
    if (!message.contains("result") && !message.contains("error")) {
      Refuse(id, kInvalidRequest, "a message needs a method");
    }
    return;
  }
  const std::string name = method.get<std::string>();
  static const Json kNoParams = Json::object();
  const Json &given = Member(message, {"params"});
  const Json &params = given.is_null() ? kNoParams : given;
  const Method *bound = FindMethod(name);
  if (!isRequest) {
    // Unknown notifications ("$/cancelRequest" among them) are dropped, and
    // before initialize every one but exit.
    if (bound == nullptr || bound->notification == nullptr ||
        (!initialized_ && name != "exit")) {
      return;
    }
    try {
      (this->*bound->notification)(params);
    } catch (const std::exception &error) {
      log_(name + ": " + error.what());
    }
    return;
  }
  if (shutDown_) {
    Refuse(id, kInvalidRequest, "the server is shut down");
  } else if (!initialized_ && name != "initialize") {
    Refuse(id, kServerNotInitialized, "the server is not initialized");
  } else if (bound == nullptr ||
             (bound->request == nullptr && bound->aboutDocument == nullptr)) {
    Refuse(id, kMethodNotFound, "no method '" + name + "'");
  } else {
    try {
      Answer(id, bound->request != nullptr
                     ? (this->*bound->request)(params)
                     : AnswerAbout(bound->aboutDocument, params));
    } catch (const RpcError &error) {
      Refuse(id, error.Code(), error.what());
    } catch (const std::exception &error) {
      // Parameters the client got wrong are RpcErrors; anything else is a
      // fault of the server's own.
      Refuse(id, kInternalError, error.what());
    }
    // The analysis the answer was made from is the latest; the client is
    // shown its diagnostics right after, so that they agree.
    const Json &uri = Member(params, {"textDocument", "uri"});
    if (bound->aboutDocument != nullptr && uri.is_string()) {
      const auto it = documents_.find(uri.get_ref<const std::string &>());
      if (it != documents_.end() && !it->second.published) {
        Publish(it->first);
      }
    }
  }
}

// The envelopes take their contents by move: a formatting result or the
// diagnostics of a long script is thousands of objects, which an
// initializer list would copy whole.
void Server::Answer(const Json &id, Json result) {
  Json message(Json::value_t::object);
  message["jsonrpc"] = "2.0";
  message["id"] = id;
  message["result"] = std::move(result);
  send_(Dump(message));
}

void Server::Refuse(const Json &id, int code, const std::string &message) {
  send_(Dump({{"jsonrpc", "2.0"},
              {"id", id},
              {"error", {{"code", code}, {"message", message}}}}));
}

std::span<const Server::Method> Server::Methods() {
  static constexpr Method kMethods[] = {
      {.name = "initialize", .request = &Server::Initialize},
      {.name = "shutdown", .request = &Server::Shutdown},
      {.name = "initialized", .notification = &Server::Initialized},
      {.name = "exit", .notification = &Server::Exit},
      // The sync that the three document notifications take.
      {.name = "textDocument/didOpen",
       .notification = &Server::DidOpen,
       .provider = "textDocumentSync",
       .offer = [](const Json &) -> Json {
         return {{"openClose", true}, {"change", kSyncIncremental}};
       }},
      {.name = "textDocument/didChange", .notification = &Server::DidChange},
      {.name = "textDocument/didClose", .notification = &Server::DidClose},
      {.name = "textDocument/formatting",
       .aboutDocument = OnFormatting,
       .provider = "documentFormattingProvider"},
      {.name = "textDocument/rangeFormatting",
       .aboutDocument = OnRangeFormatting,
       .provider = "documentRangeFormattingProvider"},
      {.name = "textDocument/definition",
       .aboutDocument = OnDefinition,
       .provider = "definitionProvider"},
      {.name = "textDocument/references",
       .aboutDocument = OnReferences,
       .provider = "referencesProvider"},
      // Announced with rename, where the client can ask it.
      {.name = "textDocument/prepareRename", .aboutDocument = OnPrepareRename},
      {.name = "textDocument/rename",
       .aboutDocument = OnRename,
       .provider = "renameProvider",
       .offer = [](const Json &client) -> Json {
         const bool prepares = Member(client, {"textDocument", "rename",
                                               "prepareSupport"}) == true;
         return prepares ? Json{{"prepareProvider", true}} : Json(true);
       }},
      {.name = "textDocument/documentSymbol",
       .aboutDocument = OnDocumentSymbols,
       .provider = "documentSymbolProvider"},
      {.name = "textDocument/hover",
       .aboutDocument = OnHover,
       .provider = "hoverProvider"},
      {.name = "textDocument/completion",
       .aboutDocument = OnCompletion,
       .provider = "completionProvider",
       .offer = [](const Json &) -> Json {
         return {{"triggerCharacters", {"=", " ", "\""}}};
       }},
      {.name = "textDocument/codeAction",
       .aboutDocument = OnCodeActions,
       .provider = "codeActionProvider",
       .offer = [](const Json &) -> Json {
         return {{"codeActionKinds", {kQuickFix}}};
       }},
  };
  return kMethods;
}

const Server::Method *Server::FindMethod(std::string_view name) {
  for (const Method &method : Methods()) {
    if (method.name == name) {
      return &method;
    }
  }
  return nullptr;
}

Json Server::AnswerAbout(DocumentRequest request, const Json &params) const {
  const auto it = documents_.find(UriOf(params));
  return it == documents_.end()
             ? Json()
             : request(AnalysisOf(it->second), params, client_);
}

const Analysis &Server::AnalysisOf(const Document &document) const {
  if (!document.analysis) {
    document.analysis =
        std::make_unique<const Analysis>(document.text, registry_, encoding_);
  }
  return *document.analysis;
}

void Server::Store(const std::string &uri, const Json &version,
                   std::string text) {
  Document &document = documents_[uri];
  document.text = std::move(text);
  Changed(document, version);
}

void Server::Changed(Document &document, const Json &version) {
  document.version = version.is_number_integer() ? version : Json();
  document.analysis.reset();
  document.published = false;
}

void Server::Publish(const std::string &uri) {
  Json params = {{"uri", uri}, {"diagnostics", Json::array()}};
  const auto it = documents_.find(uri);
  if (it != documents_.end()) {
    if (it->second.version.is_number_integer()) {
      params["version"] = it->second.version;
    }
    for (const Diagnostic &diagnostic : DiagnosticsOf(AnalysisOf(it->second))) {
      params["diagnostics"].push_back(ToJson(diagnostic));
    }
    it->second.published = true;
  }
  Json message(Json::value_t::object);
  message["jsonrpc"] = "2.0";
  message["method"] = "textDocument/publishDiagnostics";
  message["params"] = std::move(params);
  send_(Dump(message));
}

Json Server::Initialize(const Json &params) {
  if (initialized_) {
    throw RpcError(kInvalidRequest, "the server is already initialized");
  }
  const Json &capabilities = Member(params, {"capabilities"});
  if (Offers(Member(capabilities, {"general", "positionEncodings"}),
             EncodingName(PositionEncoding::kUtf8))) {
    encoding_ = PositionEncoding::kUtf8;
  }
  // Markdown only where the client offers it: one that shows plain text
  // would show the marks.
  if (Offers(Member(capabilities, {"textDocument", "hover", "contentFormat"}),
             MarkupName(Markup::kMarkdown))) {
    client_.hover = Markup::kMarkdown;
  }
  initialized_ = true;
  Json provided(Json::value_t::object);
  provided["positionEncoding"] = EncodingName(encoding_);
  for (const Method &method : Methods()) {
    if (!method.provider.empty()) {
      provided[std::string(method.provider)] =
          method.offer != nullptr ? method.offer(capabilities) : Json(true);
    }
  }
  return {{"capabilities", std::move(provided)},
          {"serverInfo",
           {{"name", kSource}, {"version", DIRECTIVE_PLUGIN_VERSION_STRING}}}};
}

Json Server::Shutdown(const Json &) {
  shutDown_ = true;
  return nullptr;
}

void Server::Initialized(const Json &) {}

void Server::Exit(const Json &) { exited_ = true; }

void Server::DidOpen(const Json &params) {
  const Json &document = params.at("textDocument");
  const std::string uri = document.at("uri").get<std::string>();
  Store(uri, document.at("version"), document.at("text").get<std::string>());
}

void Server::DidChange(const Json &params) {
  const std::string uri = UriOf(params);
  const auto it = documents_.find(uri);
  if (it == documents_.end()) {
    log_("a change to '" + uri + "', which is not open, is dropped");
    return;
  }
  // Read whole before any is applied, so that a change that cannot be read
  // leaves the text as it was; then applied in place, as a burst of
  // changes to a long script would copy it each time.
  struct Change {
    std::optional<Range> range;
    std::string text;
  };
  std::vector<Change> changes;
  for (const Json &change : params.at("contentChanges")) {
    changes.push_back({change.contains("range")
                           ? std::optional(RangeFrom(change["range"]))
                           : std::nullopt,
                       change.at("text").get<std::string>()});
  }
  std::string &text = it->second.text;
  for (Change &change : changes) {
    if (change.range) {
      ApplyEdit(text, *change.range, change.text, encoding_);
    } else {
      text = std::move(change.text);
    }
  }
  Changed(it->second, Member(params, {"textDocument", "version"}));
}

void Server::DidClose(const Json &params) {
  const std::string uri = UriOf(params);
  documents_.erase(uri);
  Publish(uri); // clears its diagnostics
}

} // namespace directive_host::lsp
