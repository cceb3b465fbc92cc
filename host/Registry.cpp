#include "Registry.h"

#include "Directive.h"

#include <utility>

namespace directive_host {

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
