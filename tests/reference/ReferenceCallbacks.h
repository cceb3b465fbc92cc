// A deliberately plain implementation of the four callbacks, written step
// by step from their algorithms with std::string and nothing of the module
// but its public header. The differential fuzz targets and tests compare the
// module's results with these byte for byte.
#pragma once

#include <functional>
#include <string>

namespace reference {

// Case-insensitive comparison of two names under the user's locale. The
// caller supplies it: the system's own comparison, so that the module's
// shortcuts around it are checked against it.
using NameEquals =
    std::function<bool(const std::string &, const std::string &)>;

// Each takes host strings (already cut at their NUL) and returns what the
// callback leaves in its out buffer: the result, or the empty string when
// the result and its NUL would not fit DIRECTIVE_RESULT_CAPACITY bytes.
std::string LabelGotoParse(const std::string &text);
std::string LabelGotoAssemble(const std::string &keyword,
                              const std::string &properties,
                              const NameEquals &equal);
std::string IfParse(const std::string &text, const NameEquals &equal);
std::string IfAssemble(const std::string &keyword,
                       const std::string &properties, const NameEquals &equal);

} // namespace reference
