#include "IfDirectivePlugin.h"

#include "DirectiveText.h"
#include "ResultWriter.h"
#include "platform/platform.h"
#include "properties.h"

#include <array>
#include <type_traits>

static_assert(std::is_same_v<decltype(&IfParse), ParseProc>);
static_assert(std::is_same_v<decltype(&IfAssemble), AssembleProc>);

namespace {

constexpr std::string_view kArgument1 = "argument1";
constexpr std::string_view kOperator = "operator";
constexpr std::string_view kArgument2 = "argument2";
constexpr std::string_view kAction = "action";
constexpr std::string_view kActionValue = "actionvalue";

// The properties in the order of their tokens and of their lines.
constexpr std::array<std::string_view, 5> kNames = {
    kArgument1, kOperator, kArgument2, kAction, kActionValue};

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
  // quote opens quoting anywhere in the token, and the closing quote (or the
  // end of the text) ends it.
  std::string_view QuotedToken() {
    const std::size_t start = pos_;
    RunOf([](char c) { return !IsWhitespace(c) && c != '"'; });
    if (pos_ < text_.size() && text_[pos_] == '"') {
      // Inside quotes only the closing quote matters, which find (memchr)
      // reaches far faster than a loop over the characters.
      const std::size_t close = text_.find('"', pos_ + 1);
      pos_ = close == std::string_view::npos ? text_.size() : close + 1;
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

// The normalised tokens of a directive, in the order of kNames. The scan
// stops where the text ends, so it may reach fewer than five.
struct Tokens {
  std::array<std::string_view, kNames.size()> values;
  std::size_t reached = 0;
};

Tokens ScanTokens(std::string_view text) {
  Scanner scan(text.substr(std::min(kKeywordLength, text.size())));
  Tokens tokens;
  const auto take = [&tokens](std::string_view token) {
    tokens.values[tokens.reached++] = NormalizeValue(token);
  };
  take(scan.QuotedToken());
  if (!scan.SkipSeparator()) {
    return tokens;
  }
  take(scan.RunOf(IsOperatorCharacter));
  if (!scan.SkipSeparator()) {
    return tokens;
  }
  take(scan.QuotedToken());
  if (!scan.SkipSeparator()) {
    return tokens;
  }
  take(scan.RunOf(IsActionCharacter));
  if (!scan.SkipSeparator()) {
    return tokens;
  }
  take(scan.Rest());
  return tokens;
}

} // namespace

// The result is the property text of all five names with empty values,
// where each token reached replaces its property's value (PutValue): a
// property the scan never reached keeps its line as "name=", and one whose
// token is empty loses its line. Written out directly, as a PropertyList
// would cost several times the scan itself.
DirectiveBool DIRECTIVE_CALL IfParse(const char *text, char *out,
                                     uint32_t /*extra*/) {
  const Tokens tokens = ScanTokens(HostString(text));
  std::size_t size = 0;
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    size += kNames[i].size() + tokens.values[i].size() + 3;
  }
  CallArena arena;
  std::pmr::string result(arena.Memory());
  result.reserve(size);
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (i < tokens.reached && tokens.values[i].empty()) {
      continue;
    }
    result += kNames[i];
    result += '=';
    result += tokens.values[i];
    result += "\r\n";
  }
  WriteResult(out, result);
  return 0;
}

DirectiveBool DIRECTIVE_CALL IfAssemble(const char *keyword,
                                        const char *properties, char *out) {
  std::array<std::string_view, kNames.size()> values =
      ValuesOf(HostString(properties), kNames);
  for (std::string_view &value : values) {
    value = NormalizeValue(value);
  }
  const auto &[argument1, op, argument2, action, actionValue] = values;
  const std::string_view head = HostString(keyword);
  // A goto names a label, written bare; any other action takes its value
  // between quotes.
  const bool bareValue = platform::EqualsIgnoringCase(action, "goto");

  CallArena arena;
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
