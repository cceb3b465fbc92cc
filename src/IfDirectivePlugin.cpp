#include "IfDirectivePlugin.h"

#include "CaseFolding.h"
#include "DirectiveText.h"
#include "ResultWriter.h"
#include "properties.h"

#include <array>
#include <type_traits>

static_assert(std::is_same_v<decltype(&IfParse), ParseProc>);
static_assert(std::is_same_v<decltype(&IfAssemble), AssembleProc>);

namespace {

constexpr FoldedName kArgument1 = DIRECTIVE_PROPERTY_ARGUMENT1;
constexpr FoldedName kOperator = DIRECTIVE_PROPERTY_OPERATOR;
constexpr FoldedName kArgument2 = DIRECTIVE_PROPERTY_ARGUMENT2;
constexpr FoldedName kAction = DIRECTIVE_PROPERTY_ACTION;
constexpr FoldedName kActionValue = DIRECTIVE_PROPERTY_ACTIONVALUE;
constexpr FoldedName kGoto = DIRECTIVE_ACTION_GOTO;

// Every property with an empty value, in the order of the tokens: what a
// parse starts from before it reaches any token. Loaded once, when the
// module is compiled.
constexpr std::string_view kStartText = DIRECTIVE_PROPERTY_ARGUMENT1
    "=\r" DIRECTIVE_PROPERTY_OPERATOR "=\r" DIRECTIVE_PROPERTY_ARGUMENT2
    "=\r" DIRECTIVE_PROPERTY_ACTION "=\r" DIRECTIVE_PROPERTY_ACTIONVALUE "=";
constexpr PropertyList kStartList = [] {
  PropertyList list;
  list.FromText(kStartText);
  return list;
}();

constexpr std::size_t kKeywordLength = 4; // «#IF » or any four characters

bool IsOperatorCharacter(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 33 && code <= 127;
}

// Digits and letters, as a table of the 256 bytes: one load per byte of an
// action's run, where the two range tests take seven instructions.
constexpr auto kActionCharacters = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) {
    table[static_cast<std::size_t>(c)] = IsAsciiDigit(static_cast<char>(c)) ||
                                         IsAsciiLetter(static_cast<char>(c));
  }
  return table;
}();

bool IsActionCharacter(char c) {
  return kActionCharacters[static_cast<unsigned char>(c)];
}

// Walks the directive text token by token. The text is the end of a
// HostString, so that a NUL follows it: every run's predicate rejects NUL,
// which ends the run without a bounds check.
class Scanner {
public:
  explicit Scanner(std::string_view text) : text_(text) {}

  // A token that may be quoted: whitespace ends it unless a quote is open; a
  // quote opens quoting anywhere in the token, and the closing quote (or the
  // end of the text) ends it.
  [[gnu::always_inline]] std::string_view QuotedToken() {
    const std::size_t start = pos_;
    pos_ += UnquotedRunLength(Piece(pos_, text_.size()));
    if (pos_ < text_.size() && text_[pos_] == '"') {
      // Inside quotes only the closing quote matters.
      const std::size_t close = FindByte(text_, pos_ + 1, '"');
      pos_ = close == text_.size() ? close : close + 1;
    }
    return Piece(start, pos_);
  }

  template <typename Predicate> std::string_view RunOf(Predicate accepts) {
    // A local index, which stays in a register while the member would not.
    const std::size_t start = pos_;
    std::size_t end = start;
    while (accepts(text_.data()[end])) {
      ++end;
    }
    pos_ = end;
    return Piece(start, end);
  }

  std::string_view Rest() {
    const std::string_view rest = Piece(pos_, text_.size());
    pos_ = text_.size();
    return rest;
  }

  // Steps over whitespace between tokens; false when the text ends before
  // or after it.
  bool SkipSeparator() {
    RunOf(IsWhitespace);
    return pos_ < text_.size();
  }

private:
  // text_[from, to), where from <= to <= text_.size() always holds: no
  // bounds check is needed.
  std::string_view Piece(std::size_t from, std::size_t to) const {
    return {text_.data() + from, to - from};
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// Sets each property whose token the scan reaches to the normalised token;
// the scan stops where the text ends, leaving the later properties as they
// started.
void PutTokens(std::string_view text, PropertyList &properties) {
  Scanner scan(text.substr(std::min(kKeywordLength, text.size())));
  properties.PutValue(kArgument1, NormalizeValue(scan.QuotedToken()));
  if (!scan.SkipSeparator()) {
    return;
  }
  properties.PutValue(kOperator,
                      NormalizeValue(scan.RunOf(IsOperatorCharacter)));
  if (!scan.SkipSeparator()) {
    return;
  }
  properties.PutValue(kArgument2, NormalizeValue(scan.QuotedToken()));
  if (!scan.SkipSeparator()) {
    return;
  }
  properties.PutValue(kAction, NormalizeValue(scan.RunOf(IsActionCharacter)));
  if (!scan.SkipSeparator()) {
    return;
  }
  properties.PutValue(kActionValue, NormalizeValue(scan.Rest()));
}

} // namespace

DirectiveBool DIRECTIVE_CALL IfParse(const char *text, char *out,
                                     uint32_t /*extra*/) {
  const std::string_view directive = HostString(text);
  return WriteResult(out, {directive}, [directive](ResultWriter &result) {
    PropertyList properties = kStartList;
    PutTokens(directive, properties);
    properties.ToText(result);
  });
}

DirectiveBool DIRECTIVE_CALL IfAssemble(const char *keyword,
                                        const char *properties, char *out) {
  const std::string_view head = HostString(keyword);
  const std::string_view text = HostString(properties);
  return WriteResult(out, {head, text}, [head, text](ResultWriter &result) {
    PropertyList list;
    list.FromText(text);
    if (list.OutOfMemory()) {
      result.Fail();
      return;
    }
    const std::string_view argument1 = NormalizeValue(list.ValueOf(kArgument1));
    const std::string_view op = NormalizeValue(list.ValueOf(kOperator));
    const std::string_view argument2 = NormalizeValue(list.ValueOf(kArgument2));
    const std::string_view action = NormalizeValue(list.ValueOf(kAction));
    const std::string_view actionValue =
        NormalizeValue(list.ValueOf(kActionValue));

    // A goto names a label, written bare; any other action takes its value
    // between quotes. Either way the pieces around the value are constants.
    const auto write = [&](const auto &...end) {
      result.Write(head, " \"", argument1, "\" ", op, " \"", argument2, "\" ",
                   action, end...);
    };
    if (EqualsIgnoringCase(kGoto, action)) {
      write(' ', actionValue);
    } else {
      write(" \"", actionValue, '"');
    }
  });
}
