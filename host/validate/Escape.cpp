#include "validate/Escape.h"

#include <cctype>
#include <cstdio>

namespace directive_host::validate {

namespace {

constexpr std::size_t kShortestRun = 16;

// Returns whether it wrote a hex escape.
bool AppendEscaped(std::string &out, unsigned char c, bool inQuotes) {
  switch (c) {
  case '"':
    out += inQuotes ? "\\\"" : "\"";
    return false;
  case '\'':
    out += inQuotes ? "'" : "\\'";
    return false;
  case '\\':
    out += "\\\\";
    return false;
  case '\r':
    out += "\\r";
    return false;
  case '\n':
    out += "\\n";
    return false;
  case '\t':
    out += "\\t";
    return false;
  default:
    break;
  }
  if (c >= 0x20 && c < 0x7f) {
    out += static_cast<char>(c);
    return false;
  }
  char hex[5];
  std::snprintf(hex, sizeof hex, "\\x%02x", c);
  out += hex;
  return true;
}

} // namespace

std::string CLiteral(std::string_view bytes) {
  std::string out;
  bool open = false;
  bool afterHex = false;
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t run = 1;
    while (i + run < bytes.size() && bytes[i + run] == bytes[i]) {
      ++run;
    }
    if (run >= kShortestRun) {
      if (open) {
        out += '"';
        open = false;
      }
      out += "<" + std::to_string(run) + " x '";
      AppendEscaped(out, static_cast<unsigned char>(bytes[i]), false);
      out += "'>";
      i += run;
      afterHex = false;
      continue;
    }
    if (!open) {
      out += '"';
      open = true;
    }
    // A hex escape swallows any hex digits after it, so a digit that follows
    // one starts a new literal.
    if (afterHex && std::isxdigit(static_cast<unsigned char>(bytes[i]))) {
      out += "\"\"";
    }
    afterHex = AppendEscaped(out, static_cast<unsigned char>(bytes[i]), true);
    ++i;
  }
  if (open || out.empty()) {
    out += open ? "\"" : "\"\"";
  }
  return out;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

} // namespace directive_host::validate
