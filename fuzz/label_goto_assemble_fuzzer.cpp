// LabelGotoAssemble on any keyword and property text: the result is the
// keyword, « ="», the label and a closing quote, or empty when that would not
// fit the capacity.
#include "FuzzCheck.h"
#include "GotoLabelPlugin.h"

namespace {

void Check(const std::string &keyword, const std::string &properties) {
  const std::string result =
      CheckedAssemble(LabelGotoAssemble, keyword.c_str(), properties.c_str());
  const std::string_view head(keyword.c_str());
  if (result.empty()) {
    Require(head.size() + std::string_view(properties.c_str()).size() + 4 >=
                DIRECTIVE_RESULT_CAPACITY,
            "empty result for short input");
    return;
  }
  Require(result.rfind(std::string(head) + " =\"", 0) == 0,
          "result does not start with the keyword and =\"");
  Require(result.back() == '"', "result does not end with a quote");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  return FuzzAssembleInput(data, size, Check);
}
