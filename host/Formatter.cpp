#include "Formatter.h"

#include "Directive.h"

namespace directive_host {

namespace {

// One line of a script: its text, and the break that ends it ("\n",
// "\r\n", or "" for a last line without one).
struct Line {
  std::string_view text;
  std::string_view ending;
};

// Result of rewriting one directive: its new text, or the reason it must
// stay as it is.
struct DirectiveRewrite {
  std::string text;
  std::string refusal; // empty when `text` may replace the directive
};

Line LineAt(std::string_view text, std::size_t start) {
  const std::size_t newline = text.find('\n', start);
  if (newline == std::string_view::npos) {
    return {text.substr(start), {}};
  }
  const bool crlf = newline > start && text[newline - 1] == '\r';
  const std::size_t end = crlf ? newline - 1 : newline;
  return {text.substr(start, end - start), text.substr(end, newline + 1 - end)};
}

// Rewrites `directive` (text from its keyword to the end of its line) with
// `handler`. The rewrite is refused when the new text would not parse to the
// same property text as the old: it would change what the line means.
DirectiveRewrite RewriteDirective(const KeywordHandler &handler,
                                  const std::string &directive) {
  // The callbacks take NUL-terminated text; they would see only part of it.
  if (directive.find('\0') != std::string::npos) {
    return {directive, "the line holds a NUL byte"};
  }
  const std::string properties = CallParse(handler, directive);
  const std::string rewritten = CallAssemble(handler, properties);
  if (rewritten == directive) {
    return {directive, {}};
  }
  if (rewritten.empty()) {
    return {directive, "the plug-in assembled nothing for it"};
  }
  if (rewritten.find_first_of("\r\n") != std::string::npos) {
    return {directive, "its rewrite would break the line"};
  }
  if (CallParse(handler, rewritten) != properties) {
    return {directive,
            "rewriting it as '" + rewritten + "' would change what it means" +
                (properties.empty() ? " (it has no properties)" : "")};
  }
  return {rewritten, {}};
}

} // namespace

FormatResult FormatText(std::string_view text, const Registry &registry) {
  FormatResult result;
  result.text.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t number = 1; start < text.size(); ++number) {
    const Line line = LineAt(text, start);
    start += line.text.size() + line.ending.size();

    const std::size_t indent = line.text.find_first_not_of(" \t");
    const std::string_view body = indent == std::string_view::npos
                                      ? std::string_view()
                                      : line.text.substr(indent);
    const KeywordHandler *handler = FindLeadingKeyword(registry, body);
    if (handler == nullptr) {
      result.text += line.text;
      result.text += line.ending;
      continue;
    }
    const std::string directive(body);
    const DirectiveRewrite rewrite = RewriteDirective(*handler, directive);
    if (!rewrite.refusal.empty()) {
      result.notes.push_back({number, false, rewrite.refusal});
    } else if (rewrite.text != directive) {
      result.notes.push_back({number, true, {}});
    }
    result.text += line.text.substr(0, indent);
    result.text += rewrite.text;
    result.text += line.ending;
  }
  return result;
}

} // namespace directive_host
