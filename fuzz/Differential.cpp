#include "Differential.h"

#include "FuzzCheck.h"
#include "platform/platform.h"

#include <cstdio>
#include <optional>

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

namespace {

constexpr std::uint32_t kStretchEvery = 64;

void CheckParse(ParseProc parse, const ReferenceParse &reference,
                const std::string &name, const std::string &text,
                std::uint32_t choice) {
  const std::string host(text.c_str());
  const std::string expected = reference(host);
  RequireSame(ParseOnce(parse, host.c_str()), expected,
              (name + " differs from the reference").c_str());
  RequireSameInPlace(
      ParseInPlace(parse, host, InPlaceOffset(choice, host.size())), expected,
      (name + " in place differs from the reference").c_str());
}

void CheckAssemble(AssembleProc assemble, const ReferenceAssemble &reference,
                   const std::string &name, const std::string &keyword,
                   const std::string &properties, std::uint32_t choice) {
  const std::string head(keyword.c_str());
  const std::string text(properties.c_str());
  const std::string expected = reference(head, text);
  RequireSame(AssembleOnce(assemble, head.c_str(), text.c_str()), expected,
              (name + " differs from the reference").c_str());
  const std::ptrdiff_t at = InPlaceOffset(choice, text.size());
  // The keyword, when in out as well, lies just past the property text.
  const std::optional<std::ptrdiff_t> keywordAt =
      (choice / 1024) % 2 == 0
          ? std::nullopt
          : std::optional<std::ptrdiff_t>(
                at + static_cast<std::ptrdiff_t>(text.size()) + 1);
  RequireSameInPlace(AssembleInPlace(assemble, head, text, at, keywordAt),
                     expected,
                     (name + " in place differs from the reference").c_str());
}

} // namespace

void FuzzParse(const std::uint8_t *data, std::size_t size, ParseProc parse,
               const ReferenceParse &reference, const char *name) {
  const std::string text = TextOf(data, size);
  const std::uint32_t choice = HashOf(data, size);
  CheckParse(parse, reference, name, text, choice);
  if (StretchThis(data, size, kStretchEvery)) {
    CheckParse(parse, reference, name, Stretched(text, size), choice / 7);
  }
}

void FuzzAssemble(const std::uint8_t *data, std::size_t size,
                  AssembleProc assemble, const ReferenceAssemble &reference,
                  const char *name) {
  const AssembleInput input = SplitAssembleInput(data, size);
  const std::uint32_t choice = HashOf(data, size);
  CheckAssemble(assemble, reference, name, input.keyword, input.properties,
                choice);
  if (StretchThis(data, size, kStretchEvery)) {
    CheckAssemble(assemble, reference, name, input.keyword,
                  Stretched(input.properties, size), choice / 7);
    CheckAssemble(assemble, reference, name, Stretched(input.keyword, size),
                  input.properties, choice / 11);
  }
}
