#include "Differential.h"

#include "FuzzCheck.h"
#include "platform/platform.h"

#include <cstdio>

const reference::NameEquals &SystemNameEquals() {
  static const reference::NameEquals equals = [](const std::string &a,
                                                 const std::string &b) {
    return platform::EqualsIgnoringCase(a, b);
  };
  return equals;
}

namespace {

void Print(const char *label, const std::string &text) {
  std::fprintf(stderr, "%s (%zu bytes): \"", label, text.size());
  for (const char c : text.substr(0, 400)) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 32 && code < 127 && c != '"' && c != '\\') {
      std::fputc(c, stderr);
    } else {
      std::fprintf(stderr, "\\x%02x", code);
    }
  }
  std::fprintf(stderr, "%s\"\n", text.size() > 400 ? "..." : "");
}

} // namespace

void RequireSame(const std::string &module, const std::string &reference,
                 const char *what) {
  if (module != reference) {
    Print("module   ", module);
    Print("reference", reference);
    Require(false, what);
  }
}

void RequireSameInPlace(const InPlaceResult &inPlace,
                        const std::string &reference, const char *what) {
  Require(inPlace.keptToCapacity, "in place: wrote outside out's capacity");
  Require(inPlace.terminated, "in place: result not NUL-terminated");
  RequireSame(inPlace.result, reference, what);
}

std::ptrdiff_t InPlaceOffset(std::uint32_t choice, std::size_t length) {
  const auto room = static_cast<std::ptrdiff_t>(DIRECTIVE_RESULT_CAPACITY) -
                    static_cast<std::ptrdiff_t>(length) - 1;
  switch (choice % 4) {
  case 0:
    return 0;
  case 1:
    return 1 + static_cast<std::ptrdiff_t>((choice / 4) % 31);
  case 2:
    return -1 - static_cast<std::ptrdiff_t>((choice / 4) %
                                            (InPlaceBuffer::kRoomBefore - 1));
  default:
    return room > 0 ? room : 0;
  }
}

std::uint32_t HashOf(const std::uint8_t *data, std::size_t size) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) {
    hash = (hash ^ data[i]) * 16777619u;
  }
  return hash;
}
