// Parse and assemble callbacks of a plain #GOTO or #LABEL for the tests: the
// parse reads "#GOTO = LABEL" as the property text "label=LABEL" (spaces and
// quotes around the label dropped), and anything without '=' as nothing;
// the assemble writes "KEYWORD = LABEL".
#pragma once

#include "directive_plugin.h"

#include <cstring>
#include <string>

namespace test_callbacks {
namespace {

void Write(const std::string &text, char *out) {
  const std::size_t length =
      text.size() < DIRECTIVE_RESULT_CAPACITY ? text.size() : 0;
  std::memcpy(out, text.c_str(), length);
  out[length] = '\0';
}

DirectiveBool DIRECTIVE_CALL LabelParse(const char *text, char *out, uint32_t) {
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

DirectiveBool DIRECTIVE_CALL LabelAssemble(const char *keyword,
                                           const char *properties, char *out) {
  const std::string text = properties;
  Write(std::string(keyword) + " = " +
            (text.starts_with("label=") ? text.substr(6) : ""),
        out);
  return 0;
}

} // namespace
} // namespace test_callbacks
