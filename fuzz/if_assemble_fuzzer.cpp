// IfAssemble on any keyword and property text: the result starts with the
// keyword and a quoted first argument, or is empty when it would not fit the
// capacity.
#include "FuzzCheck.h"
#include "IfDirectivePlugin.h"

namespace {

// The most IfAssemble adds around the keyword and the five values.
constexpr std::size_t kOverhead = 12;

void Check(const std::string &keyword, const std::string &properties) {
  const std::string result =
      CheckedAssemble(IfAssemble, keyword.c_str(), properties.c_str());
  const std::string_view head(keyword.c_str());
  if (result.empty()) {
    Require(head.size() + std::string_view(properties.c_str()).size() +
                    kOverhead >=
                DIRECTIVE_RESULT_CAPACITY,
            "empty result for short input");
    return;
  }
  Require(result.rfind(std::string(head) + " \"", 0) == 0,
          "result does not start with the keyword and a quote");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  return FuzzAssembleInput(data, size, Check);
}
