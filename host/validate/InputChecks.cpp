// The checks of what a callback does with its input strings: it reads no
// byte past their NUL and writes none of them.
#include "platform/GuardedBuffer.h"
#include "validate/Checks.h"
#include "validate/Escape.h"
#include "validate/Subject.h"

#include <algorithm>
#include <cstring>

namespace directive_host::validate {

namespace {

// Bytes after a read-only input before the guard page: the check of writes
// leaves reads past the NUL to the check of those.
constexpr std::size_t kReadableAfter = 4096;

// An input string placed so that its NUL is the last byte before an
// inaccessible page, or, to be made read-only, a little before it.
class GuardedInput {
public:
  GuardedInput(std::size_t longest, bool readOnly)
      : after_(readOnly ? kReadableAfter : 0), buffer_(longest + 1 + after_) {}

  const char *Place(const std::optional<std::string> &text) {
    placed_ = nullptr;
    if (text) {
      buffer_.SetReadOnly(false);
      placed_ = buffer_.data() + buffer_.size() - after_ - text->size() - 1;
      std::memcpy(placed_, text->c_str(), text->size() + 1);
    }
    return placed_;
  }
  // False where the platform cannot: then only the comparison finds a write.
  bool MakeReadOnly() {
    return placed_ == nullptr || buffer_.SetReadOnly(true);
  }
  // Whether the placed string still holds `text`.
  bool Holds(const std::optional<std::string> &text) const {
    return placed_ == nullptr ||
           std::memcmp(placed_, text->c_str(), text->size() + 1) == 0;
  }

private:
  std::size_t after_;
  platform::GuardedBuffer buffer_;
  char *placed_ = nullptr;
};

std::size_t LongestInput(const GeneratedCalls &generated) {
  std::size_t longest = 0;
  for (const Call &call : generated.calls) {
    longest = std::max({longest, call.text.value_or("").size(),
                        call.keywordArgument.value_or("").size()});
  }
  return longest;
}

// Makes every call with each of its strings in guarded pages, read-only
// when `readOnly`, and compares them afterwards.
CheckResult GuardedInputCheck(const CheckContext &context, bool readOnly) {
  return OnSubject(context, [&](const Subject &subject, CrashNote &note) {
    const std::size_t longest = LongestInput(subject.Generated());
    GuardedInput text(longest, readOnly);
    GuardedInput keyword(longest, readOnly);
    OutBuffer buffer;
    bool protectedPages = true;
    Coverage coverage;
    const auto failure = subject.EachCall(
        note,
        readOnly ? "writing into an input string, which lies in read-only "
                   "pages"
                 : "reading past the NUL of an input string: the page after "
                   "it is inaccessible",
        Budget(), coverage,
        [&](std::size_t i,
            const std::string &input) -> std::optional<CheckResult> {
          const Call &call = subject.Generated().calls[i];
          const char *textAt = text.Place(call.text);
          const char *keywordAt = keyword.Place(call.keywordArgument);
          if (readOnly) {
            protectedPages = text.MakeReadOnly() && protectedPages;
            protectedPages = keyword.MakeReadOnly() && protectedPages;
          }
          PerformWith(call, subject.Keywords(), textAt, keywordAt,
                      buffer.Filled());
          if (readOnly &&
              !(text.Holds(call.text) && keyword.Holds(call.keywordArgument))) {
            return Failed(std::string("it changed its ") +
                              (text.Holds(call.text) ? "keyword" : "text") +
                              " string, which is const",
                          input);
          }
          return std::nullopt;
        });
    if (failure) {
      return *failure;
    }
    if (!readOnly) {
      return Passed(coverage.Calls() +
                    " read nothing past the NUL of their input strings");
    }
    return Passed(coverage.Calls() + " left their input strings unchanged" +
                  (protectedPages ? " in read-only pages"
                                  : " (compared: the pages could not be "
                                    "made read-only)"));
  });
}

} // namespace

CheckResult CheckOverRead(const CheckContext &context) {
  return GuardedInputCheck(context, false);
}

CheckResult CheckInputsUnchanged(const CheckContext &context) {
  return GuardedInputCheck(context, true);
}

} // namespace directive_host::validate
