#include "GotoLabelPlugin.h"

#include "DirectiveText.h"
#include "ResultWriter.h"
#include "properties.h"

#include <optional>
#include <type_traits>

static_assert(std::is_same_v<decltype(&LabelGotoParse), ParseProc>);
static_assert(std::is_same_v<decltype(&LabelGotoAssemble), AssembleProc>);

namespace {

constexpr std::string_view kLabel = DIRECTIVE_PROPERTY_LABEL;

// The label named by «#KEYWORD = value», or nothing when the text does not
// have that shape.
std::optional<std::string_view> LabelOf(std::string_view text) {
  if (text.empty()) {
    return std::nullopt;
  }
  std::size_t pos = 1; // the '#', whatever it is
  while (pos < text.size() && IsAsciiLetter(text[pos])) {
    ++pos;
  }
  while (pos < text.size() && IsWhitespace(text[pos])) {
    ++pos;
  }
  if (pos == text.size() || text[pos] != '=') {
    return std::nullopt;
  }
  std::string_view value = Trim(text.substr(pos + 1));
  // Unlike NormalizeValue, a lone quote names no label at all, while a pair
  // of quotes names the empty label.
  if (value.empty()) {
    return std::nullopt;
  }
  if (value.front() == '"') {
    value.remove_prefix(1);
    if (value.empty()) {
      return std::nullopt;
    }
  }
  if (value.back() == '"') {
    value.remove_suffix(1);
  }
  return value;
}

} // namespace

// One line with no break after it, so written directly rather than as
// property text.
DirectiveBool DIRECTIVE_CALL LabelGotoParse(const char *text, char *out,
                                            uint32_t /*extra*/) {
  const HostInput directive(text, out);
  const std::optional<std::string_view> label = LabelOf(directive.View());
  ResultWriter result(out);
  if (label) {
    result << kLabel << '=' << *label;
  }
  result.Finish();
  return 0;
}

DirectiveBool DIRECTIVE_CALL LabelGotoAssemble(const char *keyword,
                                               const char *properties,
                                               char *out) {
  const HostInput head(keyword, out);
  const HostInput text(properties, out);
  PropertyList list;
  list.FromText(text.View());
  ResultWriter result(out);
  result << head.View() << " =\"" << list.ValueOf(kLabel) << '"';
  result.Finish();
  return 0;
}
