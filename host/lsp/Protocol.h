// The protocol's JSON: its error codes, and the value types of the features
// as the protocol writes them.
#pragma once

#include "lsp/Diagnostics.h"
#include "lsp/TextPositions.h"

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace directive_host::lsp {

using Json = nlohmann::json;

enum ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,
};

// A request that gets an error for an answer.
class RpcError : public std::runtime_error {
public:
  RpcError(int code, const std::string &message)
      : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

private:
  int code_;
};

inline constexpr std::string_view kQuickFix = "quickfix";
// The server's name, and the source of its diagnostics.
inline constexpr std::string_view kSource = "directive-host";

Json ToJson(const Position &position);
Json ToJson(const Range &range);
Json ToJson(const TextEdit &edit);
Json ToJson(const Diagnostic &diagnostic);
Json Edits(const std::vector<TextEdit> &edits);

// The member of `json` along `path`, or null when one of them is missing.
const Json &Member(const Json &json, std::initializer_list<const char *> path);

// Whether the array `values` holds `value`.
bool Offers(const Json &values, std::string_view value);

// The parameters of a message, read for a handler. A parameter that is
// missing or of the wrong type is the client's fault: these throw
// RpcError(kInvalidParams) for it, while any other exception from a handler
// is the server's own (kInternalError).

// The string at `path` in `params`.
std::string StringParam(const Json &params,
                        std::initializer_list<const char *> path);

// The document and the position that the parameters of a request name.
std::string UriOf(const Json &params);
Position PositionOf(const Json &params);

// Throw RpcError(kInvalidParams) when `json` is not of the shape.
Position PositionFrom(const Json &json);
Range RangeFrom(const Json &json);

// `json` as text. Strings that are not UTF-8 (a plug-in's result may be
// anything) get U+FFFD for their bad bytes rather than failing.
std::string Dump(const Json &json);

// The bytes of `text` that are not part of a well-formed UTF-8 character
// (a stray continuation, a cut-off sequence, an overlong form, a surrogate,
// past U+10FFFF); when there are any, `repaired` is `text` with each of
// them as U+FFFD.
std::size_t RepairUtf8(std::string_view text, std::string &repaired);

} // namespace directive_host::lsp
