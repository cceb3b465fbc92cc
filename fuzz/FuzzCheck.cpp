#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Exactly DIRECTIVE_RESULT_CAPACITY bytes on the heap, so that AddressSanitizer
// reports a write of even one byte past them.
class OutBuffer {
public:
  explicit OutBuffer(char fill)
      : bytes_(std::make_unique<char[]>(DIRECTIVE_RESULT_CAPACITY)) {
    std::memset(bytes_.get(), fill, DIRECTIVE_RESULT_CAPACITY);
  }

  char *data() { return bytes_.get(); }

  std::string Result() const {
    const void *nul =
        std::memchr(bytes_.get(), '\0', DIRECTIVE_RESULT_CAPACITY);
    Require(nul != nullptr, "result not NUL-terminated within the capacity");
    return std::string(bytes_.get());
  }

private:
  std::unique_ptr<char[]> bytes_;
};

// Capacity minus the most overhead a callback adds around its input, so that
// stretched inputs land on both sides of the limit.
constexpr std::size_t kStretchBase = DIRECTIVE_RESULT_CAPACITY - 64;
constexpr std::size_t kStretchSpread = 80;

} // namespace

void Require(bool condition, const char *what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

std::string TextOf(const std::uint8_t *data, std::size_t size) {
  return std::string(reinterpret_cast<const char *>(data), size);
}

std::string Stretched(std::string_view text, std::size_t spread) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) {
    return {};
  }
  const std::size_t length = kStretchBase + spread % kStretchSpread;
  std::string stretched(text.substr(0, length));
  stretched.resize(length, text.back());
  return stretched;
}

bool StretchThis(const std::uint8_t *data, std::size_t size,
                 std::uint32_t every) {
  std::uint32_t hash = 2166136261u; // FNV-1a
  for (std::size_t i = 0; i < size; ++i) {
    hash = (hash ^ data[i]) * 16777619u;
  }
  return hash % every == 0;
}

std::string ParseOnce(ParseProc parse, const char *text) {
  OutBuffer out('X');
  parse(text, out.data(), 0);
  return out.Result();
}

std::string AssembleOnce(AssembleProc assemble, const char *keyword,
                         const char *properties) {
  OutBuffer out('X');
  assemble(keyword, properties, out.data());
  return out.Result();
}

std::string CheckedParse(ParseProc parse, const char *text) {
  OutBuffer first('X');
  OutBuffer second('\xff');
  Require(parse(text, first.data(), 0) == 0, "parse returned non-zero");
  parse(text, second.data(), 0xFFFFFFFFu);
  parse(text, nullptr, 0);
  const std::string result = first.Result();
  Require(result == second.Result(), "parse gave two results for one input");
  return result;
}

std::string CheckedAssemble(AssembleProc assemble, const char *keyword,
                            const char *properties) {
  OutBuffer first('X');
  OutBuffer second('\xff');
  Require(assemble(keyword, properties, first.data()) == 0,
          "assemble returned non-zero");
  assemble(keyword, properties, second.data());
  assemble(keyword, properties, nullptr);
  const std::string result = first.Result();
  Require(result == second.Result(), "assemble gave two results for one input");
  return result;
}

AssembleInput SplitAssembleInput(const std::uint8_t *data, std::size_t size) {
  const std::string text = TextOf(data, size);
  const std::size_t nul = text.find('\0');
  if (nul == std::string::npos) {
    return {text, {}};
  }
  return {text.substr(0, nul), text.substr(nul + 1)};
}

int FuzzParseInput(const std::uint8_t *data, std::size_t size,
                   void (*check)(const std::string &text)) {
  const std::string text = TextOf(data, size);
  check(text);
  if (StretchThis(data, size)) {
    check(Stretched(text, size));
  }
  return 0;
}

int FuzzAssembleInput(const std::uint8_t *data, std::size_t size,
                      void (*check)(const std::string &keyword,
                                    const std::string &properties)) {
  const AssembleInput input = SplitAssembleInput(data, size);
  check(input.keyword, input.properties);
  if (StretchThis(data, size)) {
    check(input.keyword, Stretched(input.properties, size));
    check(Stretched(input.keyword, size), input.properties);
  }
  return 0;
}
