#include "GotoLabelPlugin.h"

#include "DirectiveText.h"
#include "ResultWriter.h"
#include "properties.h"

#include <optional>
#include <type_traits>

static_assert(std::is_same_v<decltype(&LabelGotoParse), ParseProc>);
static_assert(std::is_same_v<decltype(&LabelGotoAssemble), AssembleProc>);

namespace {

constexpr FoldedName kLabel = DIRECTIVE_PROPERTY_LABEL;

// The label named by «#KEYWORD = value», or nothing when the text does not
// have that shape. The text is a host string: the NUL that follows it is
// neither a letter nor whitespace, and ends those runs without a bounds
// check per byte.
std::optional<std::string_view> LabelOf(std::string_view text) {
  if (text.empty()) {
    return std::nullopt;
  }
  std::size_t pos = 1; // the '#', whatever it is
  while (IsAsciiLetter(text.data()[pos])) {
    ++pos;
  }
  while (IsWhitespace(text.data()[pos])) {
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
  const std::string_view directive = HostString(text);
  return WriteResult(out, {directive}, [directive](ResultWriter &result) {
    if (const std::optional<std::string_view> label = LabelOf(directive)) {
      result.Write(kLabel.Name(), '=', *label);
    }
  });
}

DirectiveBool DIRECTIVE_CALL LabelGotoAssemble(const char *keyword,
                                               const char *properties,
                                               char *out) {
  const std::string_view head = HostString(keyword);
  const std::string_view text = HostString(properties);
  return WriteResult(out, {head, text}, [head, text](ResultWriter &result) {
    PropertyList list;
    list.FromText(text);
    if (list.OutOfMemory()) {
      result.Fail();
      return;
    }
    result.Write(head, " =\"", list.ValueOf(kLabel), '"');
  });
}
