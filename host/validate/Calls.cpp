#include "validate/Calls.h"

#include "platform/CallWatch.h"
#include "validate/Escape.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace directive_host::validate {

namespace {

constexpr std::size_t kSlack = 4096;

std::string Argument(const std::optional<std::string> &value) {
  return value ? CLiteral(*value) : "NULL";
}

} // namespace

void RethrowFromModule(std::string input) {
  try {
    throw;
  } catch (const std::exception &error) {
    throw ModuleThrew(error.what(), std::move(input));
  } catch (...) {
    throw ModuleThrew("an exception of a type not derived from std::exception",
                      std::move(input));
  }
}

std::string ExtraText(std::uint32_t extra) {
  char text[16];
  std::snprintf(text, sizeof text, extra < 16 ? "%lu" : "0x%08lx",
                static_cast<unsigned long>(extra));
  return text;
}

std::ptrdiff_t Perform(const Call &call,
                       const std::vector<KeywordHandler> &keywords, char *out) {
  return PerformWith(call, keywords, call.TextPointer(), call.KeywordPointer(),
                     out);
}

std::ptrdiff_t PerformWith(const Call &call,
                           const std::vector<KeywordHandler> &keywords,
                           const char *text, const char *keyword, char *out) {
  const KeywordHandler &handler = keywords[call.keyword];
  const platform::CallUnderWay watched;
  try {
    if (call.kind == Call::Kind::kParse) {
      return platform::CallBack(handler.parse, text, out, call.extra);
    }
    return platform::CallBack(handler.assemble, keyword, text, out);
  } catch (...) {
    RethrowFromModule(Describe(call, keywords));
  }
}

std::optional<std::string> ResultIn(const char *out) {
  const void *end = std::memchr(out, '\0', DIRECTIVE_RESULT_CAPACITY);
  if (end == nullptr) {
    return std::nullopt;
  }
  return std::string(out, static_cast<const char *>(end));
}

std::string Describe(const Call &call,
                     const std::vector<KeywordHandler> &keywords) {
  const std::string prefix = CLiteral(keywords[call.keyword].keyword) + " ";
  if (call.kind == Call::Kind::kParse) {
    return prefix + "parse(" + Argument(call.text) +
           (call.extra != 0 ? ", extra " + ExtraText(call.extra) : "") + ")";
  }
  return prefix + "assemble(" + Argument(call.keywordArgument) + ", " +
         Argument(call.text) + ")";
}

std::string CallbackName(const Call &call,
                         const std::vector<KeywordHandler> &keywords) {
  return CLiteral(keywords[call.keyword].keyword) +
         (call.kind == Call::Kind::kParse ? " parse" : " assemble");
}

std::string DescribeResult(const std::optional<std::string> &result) {
  return result ? CLiteral(*result) : "no NUL within the capacity";
}

OutBuffer::OutBuffer() : bytes_(DIRECTIVE_RESULT_CAPACITY + kSlack, 'X') {
  bytes_.back() = '\0'; // reading a result that has no NUL stops here
}

char *OutBuffer::Filled(char fill) {
  std::memset(bytes_.data(), fill, DIRECTIVE_RESULT_CAPACITY);
  return bytes_.data();
}

std::optional<std::string> ResultOf(const Call &call,
                                    const std::vector<KeywordHandler> &keywords,
                                    OutBuffer &buffer) {
  char *out = buffer.Filled();
  Perform(call, keywords, out);
  return ResultIn(out);
}

} // namespace directive_host::validate
