#include "BenchCases.h"

#include <cstdlib>

namespace {

constexpr char kSizedPrefix[] = "if-parse-";
constexpr char kSizedWordPrefix[] = "if-parse-word-";
constexpr std::size_t kLargestSize = 60000; // its result still fits

// «#IF a = b goto c» padded in its action value up to `size` bytes: the
// shortest complete directive.
std::string BareIfDirective(std::size_t size) {
  return "#IF a = b goto " + std::string(size - 15, 'c');
}

// `size` bytes of words, spaces between them; neither end is a space, so the
// arguments keep their whole length through normalisation.
std::string Words(std::size_t size) {
  std::string words;
  words.reserve(size);
  while (words.size() < size) {
    words += words.size() % 6 == 5 ? ' ' : 'w';
  }
  if (!words.empty()) {
    words.back() = 'w';
  }
  return words;
}

} // namespace

std::vector<BenchCase> TypicalCases() {
  const std::string ifProperties = "argument1=x\r\noperator===\r\n"
                                   "argument2=y\r\naction=goto\r\n"
                                   "actionvalue=done\r\n";
  const std::string ifSetProperties = "argument1=a b\r\noperator==\r\n"
                                      "argument2=c d\r\naction=set\r\n"
                                      "actionvalue=v w\r\n";
  return {
      {"label-parse", "LabelGotoParse", "#LABEL", CallbackKind::Parse,
       "#LABEL = \"start\""},
      {"goto-parse", "LabelGotoParse", "#GOTO", CallbackKind::Parse,
       "#GOTO=end"},
      {"label-assemble", "LabelGotoAssemble", "#LABEL", CallbackKind::Assemble,
       "label=start"},
      {"goto-assemble", "LabelGotoAssemble", "#GOTO", CallbackKind::Assemble,
       "label=end"},
      {"if-parse", "IfParse", "#IF", CallbackKind::Parse,
       "#IF \"x\" == \"y\" goto done"},
      {"if-parse-set", "IfParse", "#IF", CallbackKind::Parse,
       "#IF \"a b\" = \"c d\" set \"v w\""},
      {"if-assemble", "IfAssemble", "#IF", CallbackKind::Assemble,
       ifProperties},
      {"if-assemble-set", "IfAssemble", "#IF", CallbackKind::Assemble,
       ifSetProperties},
  };
}

std::vector<std::size_t> IfParseSizes() {
  return {16, 64, 256, 1024, 4096, 16384, 32768};
}

BenchCase SizedIfParseCase(std::size_t size) {
  constexpr std::size_t kFrame = 22; // «#IF "" == "" goto done»
  std::string text;
  if (size < kFrame + 2) {
    text = BareIfDirective(size);
  } else {
    const std::size_t padding = size - kFrame;
    text = "#IF \"" + Words(padding / 2) + "\" == \"" +
           Words(padding - padding / 2) + "\" goto done";
  }
  return {kSizedPrefix + std::to_string(size), "IfParse", "#IF",
          CallbackKind::Parse, text};
}

BenchCase SizedIfParseWordCase(std::size_t size) {
  const std::string tail = " = b goto done";
  return {kSizedWordPrefix + std::to_string(size), "IfParse", "#IF",
          CallbackKind::Parse,
          "#IF " + std::string(size - 4 - tail.size(), 'w') + tail};
}

bool FindCase(const std::string &id, BenchCase &found) {
  for (BenchCase &typical : TypicalCases()) {
    if (typical.id == id) {
      found = std::move(typical);
      return true;
    }
  }
  // The size after `prefix` in `id`, or 0.
  const auto sizeAfter = [&id](const std::string &prefix) -> std::size_t {
    if (id.rfind(prefix, 0) != 0) {
      return 0;
    }
    const std::string digits = id.substr(prefix.size());
    char *end = nullptr;
    const unsigned long long size = std::strtoull(digits.c_str(), &end, 10);
    return digits.empty() || *end != '\0' || size > kLargestSize ? 0 : size;
  };
  if (const std::size_t size = sizeAfter(kSizedWordPrefix); size >= 19) {
    found = SizedIfParseWordCase(size);
    return true;
  }
  if (const std::size_t size = sizeAfter(kSizedPrefix); size >= 16) {
    found = SizedIfParseCase(size);
    return true;
  }
  return false;
}
