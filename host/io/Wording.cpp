#include "io/Wording.h"

namespace directive_host {

std::string Enumerate(const std::vector<std::string_view> &items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) {
      text += i + 1 == items.size() ? " and " : ", ";
    }
    text += items[i];
  }
  return text;
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

} // namespace directive_host
