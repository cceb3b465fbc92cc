#include "plugins/Registry.h"

#include <utility>

namespace directive_host {

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char &c : upper) {
    c = AsciiUpper(c);
  }
  return upper;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
      return false;
    }
  }
  return true;
}

void Registry::Add(KeywordHandler handler) {
  handlers_.push_back(std::move(handler));
}

const KeywordHandler *Registry::Find(std::string_view keyword) const {
  for (const KeywordHandler &handler : handlers_) {
    if (SameIgnoringCase(handler.keyword, keyword)) {
      return &handler;
    }
  }
  return nullptr;
}

} // namespace directive_host
