#include "platform/TextEncoding.h"

namespace directive_host::platform {

std::string NarrowFromUtf8(std::string_view utf8, bool &exact) {
  exact = true;
  return std::string(utf8);
}

std::string Utf8FromNarrow(std::string_view narrow) {
  return std::string(narrow);
}

unsigned NarrowCodePage() { return 65001; }

} // namespace directive_host::platform
