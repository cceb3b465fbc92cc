// IfParse on any bytes: a result is empty (every value empty, or too large
// for the buffer) or property text that starts with one of the five names
// and ends with CR LF.
#include "FuzzCheck.h"
#include "IfDirectivePlugin.h"

namespace {

bool StartsWithAName(const std::string &result) {
  for (const char *name :
       {"argument1=", "operator=", "argument2=", "action=", "actionvalue="}) {
    if (result.rfind(name, 0) == 0) {
      return true;
    }
  }
  return false;
}

void Check(const std::string &text) {
  const std::string result = CheckedParse(IfParse, text.c_str());
  if (!result.empty()) {
    Require(StartsWithAName(result), "result does not start with a name");
    Require(result.size() >= 2 &&
                result.compare(result.size() - 2, 2, "\r\n") == 0,
            "result does not end with CR LF");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  return FuzzParseInput(data, size, Check);
}
