#include "Protocol.h"

namespace directive_host::lsp {

namespace {

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
