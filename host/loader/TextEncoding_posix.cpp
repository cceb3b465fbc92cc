#include "TextEncoding.h"

namespace host {

std::string NarrowFromUtf8(std::string_view utf8, bool &exact) {
  exact = true;
  return std::string(utf8);
}

std::string Utf8FromNarrow(std::string_view narrow) {
  return std::string(narrow);
}

} // namespace host
