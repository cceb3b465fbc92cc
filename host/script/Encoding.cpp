#include "script/Encoding.h"

#include "io/Errors.h"

#include <cstddef>

namespace directive_host {

namespace {

// How far to look for the pattern of NUL bytes.
constexpr std::size_t kSample = 64;

struct Wide {
  std::string_view name;
  std::string_view bom;
  std::size_t unit;  // bytes of a code unit
  std::size_t ascii; // where in a unit an ASCII character's byte lies
};

// UTF-32 first: its little-endian mark starts with UTF-16's.
constexpr Wide kWide[] = {
    {"UTF-32LE", {"\xFF\xFE\0\0", 4}, 4, 0},
    {"UTF-32BE", {"\0\0\xFE\xFF", 4}, 4, 3},
    {"UTF-16LE", "\xFF\xFE", 2, 0},
    {"UTF-16BE", "\xFE\xFF", 2, 1},
};

// Whether each whole code unit of `sample` holds one ASCII character: a
// byte other than NUL where `wide` puts it, and NUL everywhere else.
bool HasAsciiPattern(std::string_view sample, const Wide &wide) {
  const std::size_t units = sample.size() / wide.unit;
  if (units == 0) {
    return false;
  }
  for (std::size_t i = 0; i < units * wide.unit; ++i) {
    const bool ascii = i % wide.unit == wide.ascii;
    if ((sample[i] == '\0') == ascii) {
      return false;
    }
  }
  return true;
}

} // namespace

std::string_view WideEncoding(std::string_view text) {
  for (const Wide &wide : kWide) {
    if (text.starts_with(wide.bom)) {
      return wide.name;
    }
  }
  const std::string_view sample = text.substr(0, kSample);
  for (const Wide &wide : kWide) {
    if (HasAsciiPattern(sample, wide)) {
      return wide.name;
    }
  }
  return {};
}

void RefuseWideText(const std::string &name, std::string_view text) {
  const std::string_view encoding = WideEncoding(text);
  if (!encoding.empty()) {
    throw Failure("cannot read '" + name + "': it is " + std::string(encoding) +
                  " text, and directive-host reads only 8-bit text (UTF-8 or "
                  "the ANSI code page); left as it is");
  }
}

} // namespace directive_host
