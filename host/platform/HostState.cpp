#include "platform/HostState.h"

#include <clocale>
#include <cstdio>
#include <utility>

namespace directive_host::platform {

// Each category, and after them (as names sort) the whole, which also
// names the categories a C library adds to these.
void AddLocaleParts(ProcessState &state) {
  const std::pair<int, const char *> categories[] = {
      {LC_ALL, ", all categories"},  {LC_CTYPE, " LC_CTYPE"},
      {LC_NUMERIC, " LC_NUMERIC"},   {LC_TIME, " LC_TIME"},
      {LC_COLLATE, " LC_COLLATE"},   {LC_MONETARY, " LC_MONETARY"},
#ifdef LC_MESSAGES
      {LC_MESSAGES, " LC_MESSAGES"},
#endif
  };
  for (const auto &[category, name] : categories) {
    const char *locale = std::setlocale(category, nullptr);
    state[std::string("locale") + name] = locale ? locale : "(none)";
  }
}

std::string HexText(unsigned long long value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", value);
  return text;
}

std::string OctalText(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0%03o", value);
  return text;
}

} // namespace directive_host::platform
