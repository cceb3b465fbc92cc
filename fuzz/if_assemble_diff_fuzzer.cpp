// IfAssemble against the plain reference, byte for byte, with separate buffers
// and in place.
#include "Differential.h"
#include "IfDirectivePlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  FuzzAssemble(
      data, size, IfAssemble,
      [](const std::string &keyword, const std::string &properties) {
        return reference::IfAssemble(keyword, properties, SystemNameEquals());
      },
      "IfAssemble");
  return 0;
}
