#include "ResultWriter.h"

#include "directive_plugin.h"

#include <cstring>

std::string_view HostString(const char *text) {
  return text != nullptr ? std::string_view(text) : std::string_view();
}

void WriteResult(char *out, std::string_view result) {
  if (out == nullptr) {
    return;
  }
  if (result.size() >= DIRECTIVE_RESULT_CAPACITY) {
    out[0] = '\0';
    return;
  }
  // A default view's data is null, which memcpy may not be given even for no
  // bytes.
  if (!result.empty()) {
    std::memcpy(out, result.data(), result.size());
  }
  out[result.size()] = '\0';
}
