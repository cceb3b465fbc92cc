// LabelGotoParse against the plain reference, byte for byte, with separate
// buffers and in place.
#include "Differential.h"
#include "GotoLabelPlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  FuzzParse(data, size, LabelGotoParse, reference::LabelGotoParse,
            "LabelGotoParse");
  return 0;
}
