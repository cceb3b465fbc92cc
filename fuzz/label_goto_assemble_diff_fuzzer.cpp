// LabelGotoAssemble against the plain reference, byte for byte, with separate
// buffers and in place.
#include "Differential.h"
#include "GotoLabelPlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  FuzzAssemble(
      data, size, LabelGotoAssemble,
      [](const std::string &keyword, const std::string &properties) {
        return reference::LabelGotoAssemble(keyword, properties,
                                            SystemNameEquals());
      },
      "LabelGotoAssemble");
  return 0;
}
