// Calls of the callbacks a module registered, as values: what is called with
// what, how the call reads in a report, and what it left in its buffer.
#pragma once

#include "directive_plugin.h"
#include "platform/CallWatch.h"
#include "platform/CallbackCall.h"
#include "plugins/Registry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace directive_host::validate {

struct Call {
  enum class Kind { kParse, kAssemble };
  Kind kind = Kind::kParse;
  std::size_t keyword = 0; // index of the KeywordHandler whose callback runs
  std::optional<std::string> text; // parse: the directive; assemble: the
                                   // property text; nullopt: a null pointer
  std::optional<std::string> keywordArgument; // assemble only
  std::uint32_t extra = 0;                    // parse only

  const char *TextPointer() const { return text ? text->c_str() : nullptr; }
  const char *KeywordPointer() const {
    return keywordArgument ? keywordArgument->c_str() : nullptr;
  }
  bool operator==(const Call &) const = default;
};

// An exception that left the module, which the ABI forbids; what() is the
// exception's own message.
class ModuleThrew : public std::runtime_error {
public:
  ModuleThrew(const std::string &message, std::string input)
      : std::runtime_error(message), input_(std::move(input)) {}
  // The call it left, as a report shows it.
  const std::string &input() const { return input_; }

private:
  std::string input_;
};

// The extra values of the extra check: 0, small, huge and all bits set. A
// host may pass anything there; no callback may read it.
inline constexpr std::uint32_t kExtraValues[] = {0, 1, 0x7fffffff, 0xffffffff};

// An extra value as a report shows it: "0", "0x7fffffff".
std::string ExtraText(std::uint32_t extra);

// From a handler of the exception that left the module in `input`: throws it
// again as ModuleThrew.
[[noreturn]] void RethrowFromModule(std::string input);

// Calls `call` with `out` (which may be null) as its buffer; throws
// ModuleThrew when an exception leaves the callback. Returns the bytes of
// arguments the callback left on the stack (see platform::CallBack), which
// every call puts right, so that only the calling-convention check tells.
std::ptrdiff_t Perform(const Call &call,
                       const std::vector<KeywordHandler> &keywords, char *out);

// Calls `call`'s callback with these strings in place of its own.
std::ptrdiff_t PerformWith(const Call &call,
                           const std::vector<KeywordHandler> &keywords,
                           const char *text, const char *keyword, char *out);

// `proc`, a callback, called under the watchdog of hangs: for the calls
// that do not go through Perform.
template <typename Proc> auto Watched(Proc proc) {
  return [proc](auto... arguments) {
    const platform::CallUnderWay watched;
    return platform::CallBack(proc, arguments...);
  };
}

// The result a callback left in a buffer of DIRECTIVE_RESULT_CAPACITY bytes:
// the bytes before its NUL, or nullopt when there is no NUL within the
// capacity.
std::optional<std::string> ResultIn(const char *out);

// `call` as a report shows it: #IF parse("...") or
// #GOTO assemble("#GOTO", "label=x"), strings escaped, NULL for null.
std::string Describe(const Call &call,
                     const std::vector<KeywordHandler> &keywords);

// The callback `call` calls, as a report names it: "#IF" parse.
std::string CallbackName(const Call &call,
                         const std::vector<KeywordHandler> &keywords);

// A result for a report: the escaped string, or "no NUL within the
// capacity".
std::string DescribeResult(const std::optional<std::string> &result);

// A buffer of DIRECTIVE_RESULT_CAPACITY bytes and some slack after them, so
// that a callback that writes a little too far corrupts nothing (that is
// for the capacity check to find, with a guard page). A NUL ends the slack.
class OutBuffer {
public:
  OutBuffer();
  // Fills the capacity with `fill` (non-zero, so that a missing NUL shows).
  char *Filled(char fill = 'X');
  char *data() { return bytes_.data(); }

private:
  std::vector<char> bytes_;
};

// The result of `call` in a freshly filled OutBuffer.
std::optional<std::string> ResultOf(const Call &call,
                                    const std::vector<KeywordHandler> &keywords,
                                    OutBuffer &buffer);

} // namespace directive_host::validate
