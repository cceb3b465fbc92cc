#include "format/Formatter.h"

#include "script/DirectiveScan.h"

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
  const DirectiveReading reading = ReadDirective(handler, directive, out);
  if (reading.unread != Unread::kNo) {
    return {directive, reading.Reason(lineLength)};
  }
  const std::string &properties = reading.properties;
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
  if (BreaksLine(rewritten)) {
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
  // The start of the bytes read that pass through unchanged and are not
  // handed on yet.
  const char *unchanged = text.data();
  ResultBuffer out;
  ForEachDirective(text, registry, [&](const ScriptDirective &at) {
    const std::string directive(at.found.directive);
    const DirectiveRewrite rewrite = RewriteDirective(
        *at.found.handler, directive, at.text.text.size(), out);
    if (!rewrite.refusal.empty()) {
      sink.Note({at.line, false, rewrite.refusal});
      return;
    }
    if (rewrite.text == directive) {
      return;
    }
    sink.Write({unchanged, static_cast<std::size_t>(at.found.directive.data() -
                                                    unchanged)});
    sink.Note({at.line, true, {}});
    sink.Write(rewrite.text);
    unchanged = at.text.ending.data();
  });
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
