// LabelGotoParse against the plain reference, byte for byte, with separate
// buffers and in place.
#include "Differential.h"
#include "FuzzCheck.h"
#include "GotoLabelPlugin.h"

namespace {

// Less often than the other targets, which check the capacity limit too:
// these call the module and the reference several times per input.
constexpr std::uint32_t kStretchEvery = 64;

void Check(const std::string &text, std::uint32_t choice) {
  const std::string host(text.c_str());
  const std::string expected = reference::LabelGotoParse(host);
  RequireSame(ParseOnce(LabelGotoParse, host.c_str()), expected,
              "LabelGotoParse differs from the reference");
  RequireSameInPlace(
      ParseInPlace(LabelGotoParse, host, InPlaceOffset(choice, host.size())),
      expected, "LabelGotoParse in place differs from the reference");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string text = TextOf(data, size);
  const std::uint32_t choice = HashOf(data, size);
  Check(text, choice);
  if (StretchThis(data, size, kStretchEvery)) {
    Check(Stretched(text, size), choice / 7);
  }
  return 0;
}
