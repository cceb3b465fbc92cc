#include "lsp/Server.h"

#include "lsp/Diagnostics.h"
#include "lsp/Requests.h"

#include "directive_plugin.h"

#include <utility>

namespace directive_host::lsp {

namespace {

constexpr int kSyncIncremental = 2;

} // namespace

Server::Server(const Registry &registry, Writer send, Writer log)
    : registry_(registry), send_(std::move(send)), log_(std::move(log)) {}

void Server::Receive(std::string_view body) {
  if (exited_) {
    return;
  }
  try {
    const Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded()) {
      Refuse(nullptr, kParseError, "the message is not JSON");
      return;
    }
    Dispatch(message);
  } catch (const std::exception &error) {
    log_(std::string("cannot handle a message: ") + error.what());
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
  if (!isRequest) {
    // Unknown notifications ("$/cancelRequest" among them) are dropped, and
    // before initialize every one but exit.
    const Notification handler = FindNotification(name);
    if (handler == nullptr || (!initialized_ && name != "exit")) {
      return;
    }
    try {
      (this->*handler)(params);
    } catch (const std::exception &error) {
      log_(name + ": " + error.what());
    }
    return;
  }
  const Request handler = FindRequest(name);
  const DocumentRequest aboutDocument = FindDocumentRequest(name);
  if (shutDown_) {
    Refuse(id, kInvalidRequest, "the server is shut down");
  } else if (!initialized_ && name != "initialize") {
    Refuse(id, kServerNotInitialized, "the server is not initialized");
  } else if (handler == nullptr && aboutDocument == nullptr) {
    Refuse(id, kMethodNotFound, "no method '" + name + "'");
  } else {
    try {
      Answer(id, handler != nullptr ? (this->*handler)(params)
                                    : AnswerAbout(aboutDocument, params));
    } catch (const RpcError &error) {
      Refuse(id, error.Code(), error.what());
    } catch (const Json::exception &error) {
      Refuse(id, kInvalidParams, error.what());
    } catch (const std::exception &error) {
      Refuse(id, kInternalError, error.what());
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

Server::Request Server::FindRequest(std::string_view method) const {
  static constexpr std::pair<std::string_view, Request> kRequests[] = {
      {"initialize", &Server::Initialize},
      {"shutdown", &Server::Shutdown},
  };
  return Lookup(kRequests, method);
}

Server::Notification Server::FindNotification(std::string_view method) const {
  static constexpr std::pair<std::string_view, Notification> kNotifications[] =
      {
          {"initialized", &Server::Initialized},
          {"exit", &Server::Exit},
          {"textDocument/didOpen", &Server::DidOpen},
          {"textDocument/didChange", &Server::DidChange},
          {"textDocument/didClose", &Server::DidClose},
      };
  return Lookup(kNotifications, method);
}

Json Server::AnswerAbout(DocumentRequest request, const Json &params) const {
  const auto it = documents_.find(UriOf(params));
  return it == documents_.end() ? Json()
                                : request(*it->second.analysis, params);
}

void Server::Store(const std::string &uri, const Json &version,
                   std::string text) {
  documents_[uri] = {
      version.is_number_integer() ? version : Json(),
      std::make_unique<const Analysis>(std::move(text), registry_, encoding_)};
}

void Server::Publish(const std::string &uri) {
  Json params = {{"uri", uri}, {"diagnostics", Json::array()}};
  const auto it = documents_.find(uri);
  if (it != documents_.end()) {
    if (it->second.version.is_number_integer()) {
      params["version"] = it->second.version;
    }
    for (const Diagnostic &diagnostic : DiagnosticsOf(*it->second.analysis)) {
      params["diagnostics"].push_back(ToJson(diagnostic));
    }
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
  const bool prepares = Member(capabilities, {"textDocument", "rename",
                                              "prepareSupport"}) == true;
  initialized_ = true;
  return {{"capabilities",
           {{"positionEncoding", EncodingName(encoding_)},
            {"textDocumentSync",
             {{"openClose", true}, {"change", kSyncIncremental}}},
            {"documentFormattingProvider", true},
            {"documentRangeFormattingProvider", true},
            {"definitionProvider", true},
            {"referencesProvider", true},
            {"renameProvider",
             prepares ? Json{{"prepareProvider", true}} : Json(true)},
            {"documentSymbolProvider", true},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", {"=", " ", "\""}}}},
            {"codeActionProvider", {{"codeActionKinds", {kQuickFix}}}}}},
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
  Publish(uri);
}

void Server::DidChange(const Json &params) {
  const std::string uri = UriOf(params);
  const auto it = documents_.find(uri);
  if (it == documents_.end()) {
    log_("a change to '" + uri + "', which is not open, is dropped");
    return;
  }
  std::string text = it->second.analysis->Text();
  for (const Json &change : params.at("contentChanges")) {
    const std::string replacement = change.at("text").get<std::string>();
    if (change.contains("range")) {
      ApplyEdit(text, RangeFrom(change["range"]), replacement, encoding_);
    } else {
      text = replacement;
    }
  }
  Store(uri, Member(params, {"textDocument", "version"}), std::move(text));
  Publish(uri);
}

void Server::DidClose(const Json &params) {
  const std::string uri = UriOf(params);
  documents_.erase(uri);
  Publish(uri); // clears its diagnostics
}

} // namespace directive_host::lsp
