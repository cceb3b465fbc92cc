#include "Formatter.h"

#include "Directive.h"
#include "Script.h"

namespace directive_host {

namespace {

// Result of rewriting one directive: its new text, or the reason it must
// stay as it is.
struct DirectiveRewrite {
  std::string text;
  std::string refusal; // empty when `text` may replace the directive
};

// Rewrites `directive` (text from its keyword to the end of a line of
// `lineLength` bytes) with `handler`. The rewrite is refused when the new
// text would not parse to the same property text as the old: it would change
// what the line means.
DirectiveRewrite RewriteDirective(const KeywordHandler &handler,
                                  const std::string &directive,
                                  std::size_t lineLength, ResultBuffer &out) {
  // The callbacks take NUL-terminated text; they would see only part of it.
  if (directive.find('\0') != std::string::npos) {
    return {directive, "the line holds a NUL byte"};
  }
  const std::string properties = CallParse(handler, directive, out);
  if (MayNotHaveFit(directive, properties)) {
    return {directive, CapacityReason("parse result", lineLength)};
  }
  const std::string rewritten = CallAssemble(handler, properties, out);
  if (rewritten == directive) {
    return {directive, {}};
  }
  if (MayNotHaveFit(properties, rewritten)) {
    return {directive, CapacityReason("rewrite", lineLength)};
  }
  if (rewritten.empty()) {
    return {directive, "the plug-in assembled nothing for it"};
  }
  if (rewritten.find_first_of("\r\n") != std::string::npos) {
    return {directive, "its rewrite would break the line"};
  }
  const std::string reparsed = CallParse(handler, rewritten, out);
  if (MayNotHaveFit(rewritten, reparsed) && !properties.empty()) {
    return {directive,
            CapacityReason("parse result for its rewrite", lineLength)};
  }
  if (reparsed != properties) {
    return {directive,
            "rewriting it as '" + rewritten + "' would change what it means" +
                (properties.empty() ? " (it has no properties)" : "")};
  }
  return {rewritten, {}};
}

} // namespace

void FormatScript(std::string_view text, const Registry &registry,
                  FormatSink &sink) {
  const std::string_view bom = LeadingBom(text);
  LineReader reader(text.substr(bom.size()));
  // The start of the bytes read that pass through unchanged and are not
  // handed on yet.
  const char *unchanged = text.data();
  ResultBuffer out;
  Line line;
  for (std::size_t number = 1; reader.Next(line); ++number) {
    const DirectiveLine found = FindDirective(registry, line.text);
    if (found.handler == nullptr) {
      continue;
    }
    const std::string directive(found.directive);
    const DirectiveRewrite rewrite =
        RewriteDirective(*found.handler, directive, line.text.size(), out);
    if (!rewrite.refusal.empty()) {
      sink.Note({number, false, rewrite.refusal});
      continue;
    }
    if (rewrite.text == directive) {
      continue;
    }
    sink.Write({unchanged,
                static_cast<std::size_t>(found.directive.data() - unchanged)});
    sink.Note({number, true, {}});
    sink.Write(rewrite.text);
    unchanged = line.ending.data();
  }
  sink.Write({unchanged,
              static_cast<std::size_t>(text.data() + text.size() - unchanged)});
}

FormatResult FormatText(std::string_view text, const Registry &registry) {
  class Collect : public FormatSink {
  public:
    explicit Collect(FormatResult &result) : result_(result) {}
    void Write(std::string_view bytes) override { result_.text += bytes; }
    void Note(const LineNote &note) override { result_.notes.push_back(note); }

  private:
    FormatResult &result_;
  };
  FormatResult result;
  result.text.reserve(text.size());
  Collect collect(result);
  FormatScript(text, registry, collect);
  return result;
}

} // namespace directive_host
