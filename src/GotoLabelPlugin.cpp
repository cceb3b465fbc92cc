#include "GotoLabelPlugin.h"

#include "DirectiveText.h"
#include "ResultWriter.h"
#include "properties.h"

#include <array>
#include <type_traits>

static_assert(std::is_same_v<decltype(&LabelGotoParse), ParseProc>);
static_assert(std::is_same_v<decltype(&LabelGotoAssemble), AssembleProc>);

namespace {

constexpr std::string_view kLabel = "label";

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

DirectiveBool DIRECTIVE_CALL LabelGotoParse(const char *text, char *out,
                                            uint32_t /*extra*/) {
  const std::optional<std::string_view> label = LabelOf(HostString(text));
  if (!label) {
    WriteResult(out, {});
    return 0;
  }
  CallArena arena;
  std::pmr::string result(arena.Memory());
  result.reserve(kLabel.size() + 1 + label->size());
  result += kLabel;
  result += '=';
  result += *label;
  WriteResult(out, result);
  return 0;
}

DirectiveBool DIRECTIVE_CALL LabelGotoAssemble(const char *keyword,
                                               const char *properties,
                                               char *out) {
  const std::string_view head = HostString(keyword);
  const auto [label] = ValuesOf(HostString(properties), std::array{kLabel});
  CallArena arena;
  std::pmr::string result(arena.Memory());
  result.reserve(head.size() + 3 + label.size() + 1);
  result += head;
  result += " =\"";
  result += label;
  result += '"';
  WriteResult(out, result);
  return 0;
}
