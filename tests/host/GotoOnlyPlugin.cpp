// A plug-in module for the end-to-end tests that registers "#GOTO" alone,
// for a host that has no "#LABEL". Its parse reads "#GOTO = LABEL" as the
// property text "label=LABEL", and anything without '=' as nothing.
#include "directive_plugin.h"

#include <cstring>
#include <string>

// Resolved against the host executable when the module loads.
extern "C" DirectiveBool DIRECTIVE_CALL RegisterParseAssemblePlugins(
    const char *keyword, ParseProc parse, AssembleProc assemble);

namespace {

void Write(const std::string &text, char *out) {
  const std::size_t length =
      text.size() < DIRECTIVE_RESULT_CAPACITY ? text.size() : 0;
  std::memcpy(out, text.c_str(), length);
  out[length] = '\0';
}

DirectiveBool DIRECTIVE_CALL GotoParse(const char *text, char *out, uint32_t) {
  const std::string directive = text;
  const std::size_t equals = directive.find('=');
  if (equals == std::string::npos) {
    Write("", out);
    return 0;
  }
  std::string label = directive.substr(equals + 1);
  label.erase(0, label.find_first_not_of(" \""));
  label.erase(label.find_last_not_of(" \"") + 1);
  Write("label=" + label, out);
  return 0;
}

DirectiveBool DIRECTIVE_CALL GotoAssemble(const char *keyword,
                                          const char *properties, char *out) {
  const std::string text = properties;
  Write(std::string(keyword) + " = " +
            (text.starts_with("label=") ? text.substr(6) : ""),
        out);
  return 0;
}

} // namespace

extern "C" DIRECTIVE_EXPORT void DIRECTIVE_CALL AutoRegister(void) {
  RegisterParseAssemblePlugins("#GOTO", GotoParse, GotoAssemble);
}
