#include "lsp/Protocol.h"

#include <algorithm>

namespace directive_host::lsp {

namespace {

constexpr int kSeverityError = 1;
constexpr int kSeverityHint = 4;
constexpr int kTagUnnecessary = 1;

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

// A fault is an error; a note, a hint, which clients show faintly, and a
// label that nothing goes to is dimmed as code that is not needed.
Json ToJson(const Diagnostic &diagnostic) {
  const bool note = diagnostic.severity == Severity::kNote;
  Json json = {{"range", ToJson(diagnostic.range)},
               {"severity", note ? kSeverityHint : kSeverityError},
               {"code", diagnostic.code},
               {"source", kSource},
               {"message", diagnostic.message}};
  if (diagnostic.code == kCheckUnreached) {
    json["tags"] = {kTagUnnecessary};
  }
  return json;
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

namespace {

// The length of the well-formed character that `text` starts with, or 0.
std::size_t CharacterLength(std::string_view text) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[i]);
  };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;  // the second byte's range, which rules out
  unsigned char high = 0xBF; // overlong forms, surrogates and past U+10FFFF
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) {
      return 0;
    }
  }
  return length;
}

} // namespace

std::size_t RepairUtf8(std::string_view text, std::string &repaired) {
  std::size_t invalid = 0;
  std::size_t copied = 0; // bytes of `text` already in `repaired`
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      ++at;
      continue;
    }
    const std::size_t length = CharacterLength(text.substr(at));
    if (length > 0) {
      at += length;
      continue;
    }
    if (invalid++ == 0) {
      repaired.clear();
      repaired.reserve(text.size() + 16);
    }
    repaired.append(text.substr(copied, at - copied));
    repaired += "\xEF\xBF\xBD";
    copied = ++at;
  }
  if (invalid > 0) {
    repaired.append(text.substr(copied));
  }
  return invalid;
}

} // namespace directive_host::lsp
