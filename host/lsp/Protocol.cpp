#include "lsp/Protocol.h"

#include <algorithm>

namespace directive_host::lsp {

namespace {

// Every finding of lint is a fault.
constexpr int kSeverityError = 1;

std::size_t Count(const Json &json, const char *name) {
  const auto it = json.find(name);
  if (it == json.end() || !it->is_number_unsigned()) {
    throw RpcError(kInvalidParams, std::string("a position needs a '") + name +
                                       "' that is a number of 0 or more");
  }
  return it->get<std::size_t>();
}

} // namespace

// Built member by member: an initializer list copies each value into the
// object, which costs several times as much for the thousands of ranges of
// a long script's diagnostics.
Json ToJson(const Position &position) {
  Json json(Json::value_t::object);
  json["line"] = position.line;
  json["character"] = position.character;
  return json;
}

Json ToJson(const Range &range) {
  Json json(Json::value_t::object);
  json["start"] = ToJson(range.start);
  json["end"] = ToJson(range.end);
  return json;
}

Json ToJson(const TextEdit &edit) {
  Json json(Json::value_t::object);
  json["range"] = ToJson(edit.range);
  json["newText"] = edit.newText;
  return json;
}

Json ToJson(const Diagnostic &diagnostic) {
  return {{"range", ToJson(diagnostic.range)},
          {"severity", kSeverityError},
          {"code", diagnostic.code},
          {"source", kSource},
          {"message", diagnostic.message}};
}

Json Edits(const std::vector<TextEdit> &edits) {
  Json json = Json::array();
  for (const TextEdit &edit : edits) {
    json.push_back(ToJson(edit));
  }
  return json;
}

const Json &Member(const Json &json, std::initializer_list<const char *> path) {
  static const Json missing;
  const Json *at = &json;
  for (const char *name : path) {
    if (!at->is_object() || !at->contains(name)) {
      return missing;
    }
    at = &(*at)[name];
  }
  return *at;
}

bool Offers(const Json &values, std::string_view value) {
  return values.is_array() &&
         std::find(values.begin(), values.end(), value) != values.end();
}

std::string StringParam(const Json &params,
                        std::initializer_list<const char *> path) {
  const Json &value = Member(params, path);
  if (!value.is_string()) {
    std::string name;
    for (const char *part : path) {
      name += (name.empty() ? "" : ".") + std::string(part);
    }
    throw RpcError(kInvalidParams, "'" + name + "' must be a string");
  }
  return value.get<std::string>();
}

std::string UriOf(const Json &params) {
  return StringParam(params, {"textDocument", "uri"});
}

Position PositionOf(const Json &params) {
  return PositionFrom(Member(params, {"position"}));
}

Position PositionFrom(const Json &json) {
  if (!json.is_object()) {
    throw RpcError(kInvalidParams, "a position must be an object");
  }
  return {Count(json, "line"), Count(json, "character")};
}

Range RangeFrom(const Json &json) {
  if (!json.is_object() || !json.contains("start") || !json.contains("end")) {
    throw RpcError(kInvalidParams, "a range needs a 'start' and an 'end'");
  }
  return {PositionFrom(json.at("start")), PositionFrom(json.at("end"))};
}

std::string Dump(const Json &json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace directive_host::lsp
