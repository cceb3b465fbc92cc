// IfParse against the plain reference, byte for byte, with separate buffers
// and in place.
#include "Differential.h"
#include "IfDirectivePlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  FuzzParse(
      data, size, IfParse,
      [](const std::string &text) {
        return reference::IfParse(text, SystemNameEquals());
      },
      "IfParse");
  return 0;
}
