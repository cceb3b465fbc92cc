#include "ReferenceCallbacks.h"

#include "directive_plugin.h"

#include <optional>
#include <vector>

namespace reference {

namespace {

bool IsWhitespace(char c) {
  const int code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

std::string Trim(const std::string &s) {
  std::size_t first = 0;
  while (first < s.size() && IsTrimmed(s[first])) {
    ++first;
  }
  std::size_t last = s.size();
  while (last > first && IsTrimmed(s[last - 1])) {
    --last;
  }
  return s.substr(first, last - first);
}

std::string NormalizeValue(const std::string &token) {
  std::string s = Trim(token);
  if (!s.empty() && s.front() == '"') {
    s.erase(0, 1);
  }
  if (!s.empty() && s.back() == '"') {
    s.pop_back();
  }
  return s;
}

// What the host finds in its buffer.
std::string Written(const std::string &result) {
  return result.size() + 1 <= DIRECTIVE_RESULT_CAPACITY ? result : "";
}

class PropertyList {
public:
  explicit PropertyList(const NameEquals &equal) : equal_(equal) {}

  void FromText(const std::string &text) {
    lines_.clear();
    if (text.empty()) {
      return;
    }
    std::size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
      std::size_t end = i;
      while (end < text.size() && text[end] != '\0' && text[end] != '\r' &&
             text[end] != '\n') {
        ++end;
      }
      lines_.push_back(text.substr(i, end - i));
      i = end;
      if (i < text.size() && text[i] == '\r') {
        ++i;
      }
      if (i < text.size() && text[i] == '\n') {
        ++i;
      }
    }
  }

  std::string ToText() const {
    std::string text;
    for (const std::string &line : lines_) {
      text += line;
      text += "\r\n";
    }
    return text;
  }

  std::optional<std::size_t> FindName(const std::string &name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::size_t equals = lines_[i].find('=');
      if (equals == std::string::npos) {
        continue;
      }
      if (equal_(lines_[i].substr(0, equals), name)) {
        return i;
      }
    }
    return std::nullopt;
  }

  // The line without its name and '='. The name that matched may be spelled
  // with another length than `name`, so the cut is at the line's own '='.
  std::string ValueOf(const std::string &name) const {
    const std::optional<std::size_t> i = FindName(name);
    if (!i) {
      return "";
    }
    return lines_[*i].substr(lines_[*i].find('=') + 1);
  }

  void PutValue(const std::string &name, const std::string &value) {
    std::optional<std::size_t> i = FindName(name);
    if (!value.empty()) {
      if (!i) {
        lines_.emplace_back();
        i = lines_.size() - 1;
      }
      lines_[*i] = name + "=" + value;
    } else if (i) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*i));
    }
  }

private:
  const NameEquals &equal_;
  std::vector<std::string> lines_;
};

// The directive text of IfParse, read from a position on.
class Text {
public:
  explicit Text(const std::string &text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Current() const { return text_[pos_]; }
  void Step() { ++pos_; }

  void StepOver(std::size_t count) {
    for (std::size_t i = 0; i < count && !AtEnd(); ++i) {
      Step();
    }
  }

  std::string QuotedToken() {
    std::string token;
    bool quoting = false;
    while (!AtEnd()) {
      const char c = Current();
      if (IsWhitespace(c)) {
        if (!quoting) {
          break;
        }
        token += c;
        Step();
      } else if (c == '"') {
        token += c;
        Step();
        if (quoting) {
          break;
        }
        quoting = true;
      } else {
        token += c;
        Step();
      }
    }
    return token;
  }

  template <typename Predicate> std::string RunOf(Predicate accepts) {
    std::string token;
    while (!AtEnd() && accepts(Current())) {
      token += Current();
      Step();
    }
    return token;
  }

  std::string Rest() {
    std::string rest;
    while (!AtEnd()) {
      rest += Current();
      Step();
    }
    return rest;
  }

  // End-skip-end: false when the text ends before or after the whitespace.
  bool EndSkipEnd() {
    if (AtEnd()) {
      return false;
    }
    while (!AtEnd() && IsWhitespace(Current())) {
      Step();
    }
    return !AtEnd();
  }

private:
  const std::string &text_;
  std::size_t pos_ = 0;
};

} // namespace

std::string LabelGotoParse(const std::string &text) {
  if (text.empty()) {
    return "";
  }
  std::size_t i = 1;
  while (i < text.size() && IsAsciiLetter(text[i])) {
    ++i;
  }
  while (i < text.size() && IsWhitespace(text[i])) {
    ++i;
  }
  if (i >= text.size()) {
    return "";
  }
  if (text[i] != '=') {
    return "";
  }
  std::string value = Trim(text.substr(i + 1));
  if (value.empty()) {
    return "";
  }
  if (value.front() == '"') {
    value.erase(0, 1);
    if (value.empty()) {
      return "";
    }
  }
  if (value.back() == '"') {
    value.pop_back();
  }
  return Written("label=" + value);
}

std::string LabelGotoAssemble(const std::string &keyword,
                              const std::string &properties,
                              const NameEquals &equal) {
  PropertyList list(equal);
  list.FromText(properties);
  return Written(keyword + " =\"" + list.ValueOf("label") + "\"");
}

std::string IfParse(const std::string &text, const NameEquals &equal) {
  PropertyList list(equal);
  list.FromText("argument1=\roperator=\rargument2=\raction=\ractionvalue=");
  Text scan(text);
  scan.StepOver(4);
  list.PutValue("argument1", NormalizeValue(scan.QuotedToken()));
  if (scan.EndSkipEnd()) {
    list.PutValue("operator", NormalizeValue(scan.RunOf([](char c) {
                    const int code = static_cast<unsigned char>(c);
                    return code >= 33 && code <= 127;
                  })));
    if (scan.EndSkipEnd()) {
      list.PutValue("argument2", NormalizeValue(scan.QuotedToken()));
      if (scan.EndSkipEnd()) {
        list.PutValue("action", NormalizeValue(scan.RunOf([](char c) {
                        return IsAsciiDigit(c) || IsAsciiLetter(c);
                      })));
        if (scan.EndSkipEnd()) {
          list.PutValue("actionvalue", NormalizeValue(scan.Rest()));
        }
      }
    }
  }
  return Written(list.ToText());
}

std::string IfAssemble(const std::string &keyword,
                       const std::string &properties, const NameEquals &equal) {
  PropertyList list(equal);
  list.FromText(properties);
  const auto n = [&list](const std::string &name) {
    return NormalizeValue(list.ValueOf(name));
  };
  std::string text = keyword + " \"" + n("argument1") + "\" " + n("operator") +
                     " \"" + n("argument2") + "\" " + n("action");
  if (equal(n("action"), "goto")) {
    text += ' ';
    text += n("actionvalue");
  } else {
    text += " \"";
    text += n("actionvalue");
    text += '"';
  }
  return Written(text);
}

} // namespace reference
