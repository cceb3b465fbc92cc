// IfAssemble against the plain reference, byte for byte, with separate buffers
// and in place: the property text in out, and sometimes the keyword too.
#include "Differential.h"
#include "FuzzCheck.h"
#include "IfDirectivePlugin.h"

namespace {

// Less often than the other targets, which check the capacity limit too:
// these call the module and the reference several times per input.
constexpr std::uint32_t kStretchEvery = 64;

void Check(const std::string &keyword, const std::string &properties,
           std::uint32_t choice) {
  const std::string head(keyword.c_str());
  const std::string text(properties.c_str());
  const std::string expected =
      reference::IfAssemble(head, text, SystemNameEquals());
  RequireSame(AssembleOnce(IfAssemble, head.c_str(), text.c_str()), expected,
              "IfAssemble differs from the reference");
  const std::ptrdiff_t at = InPlaceOffset(choice, text.size());
  // The keyword, when in out as well, lies just past the property text.
  const std::optional<std::ptrdiff_t> keywordAt =
      (choice / 1024) % 2 == 0
          ? std::nullopt
          : std::optional<std::ptrdiff_t>(
                at + static_cast<std::ptrdiff_t>(text.size()) + 1);
  RequireSameInPlace(AssembleInPlace(IfAssemble, head, text, at, keywordAt),
                     expected,
                     "IfAssemble in place differs from the reference");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const AssembleInput input = SplitAssembleInput(data, size);
  const std::uint32_t choice = HashOf(data, size);
  Check(input.keyword, input.properties, choice);
  if (StretchThis(data, size, kStretchEvery)) {
    Check(input.keyword, Stretched(input.properties, size), choice / 7);
    Check(Stretched(input.keyword, size), input.properties, choice / 11);
  }
  return 0;
}
