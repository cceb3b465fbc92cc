// The keywords that plug-in modules registered, in registration order.
#pragma once

#include "directive_plugin.h"

#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// `c` with an ASCII lower-case letter made upper case; other bytes as they
// are.
inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string AsciiUpper(std::string_view text);

// Whether `a` and `b` are equal when the case of ASCII letters is ignored;
// other bytes compare exactly. Keywords, property names and the goto action
// compare this way.
bool SameIgnoringCase(std::string_view a, std::string_view b);

struct KeywordHandler {
  std::string keyword; // as registered, e.g. "#GOTO"
  ParseProc parse;
  AssembleProc assemble;
  std::string module = {}; // path of the module that registered it
};

class Registry {
public:
  void Add(KeywordHandler handler);

  // The first handler registered for `keyword`, compared ignoring ASCII
  // case, or null.
  const KeywordHandler *Find(std::string_view keyword) const;

  const std::vector<KeywordHandler> &Handlers() const { return handlers_; }

private:
  std::vector<KeywordHandler> handlers_;
};

} // namespace directive_host
