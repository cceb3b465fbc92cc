// LabelGotoParse on any bytes: a result is either empty or «label=» and a
// piece of the directive text.
#include "FuzzCheck.h"
#include "GotoLabelPlugin.h"

namespace {

void Check(const std::string &text) {
  const std::string result = CheckedParse(LabelGotoParse, text.c_str());
  if (!result.empty()) {
    Require(result.rfind("label=", 0) == 0, "result does not start label=");
    Require(std::string_view(text.c_str()).find(result.substr(6)) !=
                std::string_view::npos,
            "label is not a piece of the text");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  return FuzzParseInput(data, size, Check);
}
