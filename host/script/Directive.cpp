#include "script/Directive.h"

#include "script/Script.h"

#include <memory>

namespace directive_host {

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::size_t KeywordLength(std::string_view text) {
  if (text.empty() || text[0] != '#') {
    return 0;
  }
  std::size_t length = 1;
  while (length < text.size() && IsAsciiLetter(text[length])) {
    ++length;
  }
  return length > 1 ? length : 0;
}

const KeywordHandler *FindLeadingKeyword(const Registry &registry,
                                         std::string_view text) {
  const std::size_t length = KeywordLength(text);
  return length > 0 ? registry.Find(text.substr(0, length)) : nullptr;
}

ResultBuffer::ResultBuffer() : bytes_(new char[DIRECTIVE_RESULT_CAPACITY]) {
  bytes_[DIRECTIVE_RESULT_CAPACITY - 1] = '\0';
}

char *ResultBuffer::Cleared() {
  bytes_[0] = '\0';
  return bytes_.get();
}

bool PluginCanRead(std::string_view text) {
  return text.find('\0') == std::string_view::npos;
}

std::string CallParse(const KeywordHandler &handler,
                      const std::string &directive, ResultBuffer &out) {
  handler.parse(directive.c_str(), out.Cleared(), 0);
  return out.Text();
}

std::string CallAssemble(const KeywordHandler &handler,
                         const std::string &properties, ResultBuffer &out) {
  handler.assemble(handler.keyword.c_str(), properties.c_str(), out.Cleared());
  return out.Text();
}

std::string CallParse(const KeywordHandler &handler,
                      const std::string &directive) {
  ResultBuffer out;
  return CallParse(handler, directive, out);
}

std::string CallAssemble(const KeywordHandler &handler,
                         const std::string &properties) {
  ResultBuffer out;
  return CallAssemble(handler, properties, out);
}

std::vector<std::string> PropertyLines(std::string_view properties) {
  std::vector<std::string> lines;
  LineReader reader(properties);
  Line line;
  while (reader.Next(line)) {
    lines.emplace_back(line.text);
  }
  return lines;
}

bool MayNotHaveFit(std::string_view input, std::string_view result) {
  return result.empty() &&
         input.size() + kResultOverhead >= DIRECTIVE_RESULT_CAPACITY;
}

std::string CapacityReason(std::string_view result, std::size_t lineLength,
                           std::string_view what) {
  return "the plug-in gave no " + std::string(result) + "; at " +
         std::to_string(lineLength) + " bytes the " + std::string(what) +
         " may be too long for one to fit in "
         "DIRECTIVE_RESULT_CAPACITY (" +
         std::to_string(DIRECTIVE_RESULT_CAPACITY) + " bytes)";
}

std::optional<std::string> PropertyValue(std::string_view properties,
                                         std::string_view name) {
  LineReader reader(properties);
  Line line;
  while (reader.Next(line)) {
    const std::size_t equals = line.text.find('=');
    if (equals != std::string_view::npos &&
        SameIgnoringCase(line.text.substr(0, equals), name)) {
      return std::string(line.text.substr(equals + 1));
    }
  }
  return std::nullopt;
}

} // namespace directive_host
