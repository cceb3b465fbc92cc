// A second plug-in module for the end-to-end tests. It registers "#SAY",
// whose directive is the keyword and free text, and "#FILL", whose parse
// result fills the whole result buffer.
#include "directive_plugin.h"

#include <cstring>
#include <string>

// Resolved against the host executable when the module loads.
extern "C" DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble);

namespace {

std::string Trim(std::string text) {
  const char *blank = " \t";
  const std::size_t first = text.find_first_not_of(blank);
  if (first == std::string::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(blank) - first + 1);
}

void Write(const std::string &text, char *out) {
  if (text.size() < DIRECTIVE_RESULT_CAPACITY) {
    std::memcpy(out, text.c_str(), text.size() + 1);
  } else {
    out[0] = '\0';
  }
}

DirectiveBool DIRECTIVE_CALL SayParse(const char *text, char *out, uint32_t) {
  const std::string directive = text;
  const std::size_t end = directive.find_first_of(" \t");
  Write(end == std::string::npos ? "" : "text=" + Trim(directive.substr(end)),
        out);
  return 0;
}

DirectiveBool DIRECTIVE_CALL SayAssemble(const char *keyword,
                                         const char *properties, char *out) {
  const std::string text = properties;
  Write(std::string(keyword) + " " +
            (text.starts_with("text=") ? text.substr(5) : ""),
        out);
  return 0;
}

DirectiveBool DIRECTIVE_CALL FillParse(const char *, char *out, uint32_t) {
  std::memset(out, 'f', DIRECTIVE_RESULT_CAPACITY - 1);
  out[DIRECTIVE_RESULT_CAPACITY - 1] = '\0';
  return 0;
}

DirectiveBool DIRECTIVE_CALL FillAssemble(const char *keyword, const char *,
                                          char *out) {
  Write(keyword, out);
  return 0;
}

} // namespace

extern "C" DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) {
  RegisterParseAssemblePlugins("#SAY", SayParse, SayAssemble);
  RegisterParseAssemblePlugins("#FILL", FillParse, FillAssemble);
}
