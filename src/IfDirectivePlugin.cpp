#include "IfDirectivePlugin.h"

#include "DirectiveText.h"
#include "ResultWriter.h"
#include "platform/platform.h"
#include "properties.h"

#include <type_traits>

static_assert(std::is_same_v<decltype(&IfParse), ParseProc>);
static_assert(std::is_same_v<decltype(&IfAssemble), AssembleProc>);

namespace {

constexpr std::string_view kArgument1 = "argument1";
constexpr std::string_view kOperator = "operator";
constexpr std::string_view kArgument2 = "argument2";
constexpr std::string_view kAction = "action";
constexpr std::string_view kActionValue = "actionvalue";

// Every property with an empty value: a property that the scan never
// reaches keeps its line as "name=".
constexpr std::string_view kStartText =
    "argument1=\roperator=\rargument2=\raction=\ractionvalue=";

constexpr std::size_t kKeywordLength = 4; // «#IF » or any four characters

bool IsOperatorCharacter(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 33 && code <= 127;
}

bool IsActionCharacter(char c) { return IsAsciiDigit(c) || IsAsciiLetter(c); }

// Walks the directive text token by token.
class Scanner {
public:
  explicit Scanner(std::string_view text) : text_(text) {}

  // A token that may be quoted: whitespace ends it unless a quote is open; a
  // quote opens quoting anywhere in the token, and the closing quote ends it.
  std::string_view QuotedToken() {
    const std::size_t start = pos_;
    bool quoting = false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (IsWhitespace(c) && !quoting) {
        break;
      }
      ++pos_;
      if (c == '"') {
        if (quoting) {
          break;
        }
        quoting = true;
      }
    }
    return text_.substr(start, pos_ - start);
  }

  template <typename Predicate> std::string_view RunOf(Predicate accepts) {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && accepts(text_[pos_])) {
      ++pos_;
    }
    return text_.substr(start, pos_ - start);
  }

  std::string_view Rest() {
    const std::string_view rest = text_.substr(pos_);
    pos_ = text_.size();
    return rest;
  }

  // Steps over whitespace between tokens; false when the text ends before
  // or after it.
  bool SkipSeparator() {
    if (pos_ == text_.size()) {
      return false;
    }
    RunOf(IsWhitespace);
    return pos_ < text_.size();
  }

private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

void ParseTokens(std::string_view text, PropertyList &list) {
  Scanner scan(text.substr(std::min(kKeywordLength, text.size())));
  list.PutValue(kArgument1, NormalizeValue(scan.QuotedToken()));
  if (!scan.SkipSeparator()) {
    return;
  }
  list.PutValue(kOperator, NormalizeValue(scan.RunOf(IsOperatorCharacter)));
  if (!scan.SkipSeparator()) {
    return;
  }
  list.PutValue(kArgument2, NormalizeValue(scan.QuotedToken()));
  if (!scan.SkipSeparator()) {
    return;
  }
  list.PutValue(kAction, NormalizeValue(scan.RunOf(IsActionCharacter)));
  if (!scan.SkipSeparator()) {
    return;
  }
  list.PutValue(kActionValue, NormalizeValue(scan.Rest()));
}

} // namespace

DirectiveBool DIRECTIVE_CALL IfParse(const char *text, char *out,
                                     uint32_t /*extra*/) {
  CallArena arena;
  PropertyList list(arena.Memory());
  list.FromText(kStartText);
  ParseTokens(HostString(text), list);
  WriteResult(out, list.ToText());
  return 0;
}

DirectiveBool DIRECTIVE_CALL IfAssemble(const char *keyword,
                                        const char *properties, char *out) {
  CallArena arena;
  PropertyList list(arena.Memory());
  list.FromText(HostString(properties));
  const auto value = [&list](std::string_view name) {
    return NormalizeValue(list.ValueOf(name));
  };
  const std::string_view head = HostString(keyword);
  const std::string_view argument1 = value(kArgument1);
  const std::string_view op = value(kOperator);
  const std::string_view argument2 = value(kArgument2);
  const std::string_view action = value(kAction);
  const std::string_view actionValue = value(kActionValue);
  // A goto names a label, written bare; any other action takes its value
  // between quotes.
  const bool bareValue = platform::EqualsIgnoringCase(action, "goto");

  std::pmr::string result(arena.Memory());
  result.reserve(head.size() + argument1.size() + op.size() + argument2.size() +
                 action.size() + actionValue.size() + 12);
  result += head;
  result += " \"";
  result += argument1;
  result += "\" ";
  result += op;
  result += " \"";
  result += argument2;
  result += "\" ";
  result += action;
  result += bareValue ? " " : " \"";
  result += actionValue;
  if (!bareValue) {
    result += '"';
  }
  WriteResult(out, result);
  return 0;
}
