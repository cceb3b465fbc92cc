#include "ResultWriter.h"

#include <functional>

std::string_view HostString(const char *text) {
  return text != nullptr ? std::string_view(text) : std::string_view();
}

namespace {

// Whether [text, text + size] (the NUL included) and the capacity of `out`
// share a byte. std::less orders pointers into different objects too.
bool SharesBytes(const char *text, std::size_t size, const char *out) {
  if (text == nullptr || out == nullptr) {
    return false;
  }
  const std::less<const char *> before;
  return before(text, out + DIRECTIVE_RESULT_CAPACITY) &&
         before(out, text + size + 1);
}

} // namespace

HostInput::HostInput(const char *text, const char *out)
    : view_(HostString(text)) {
  if (SharesBytes(view_.data(), view_.size(), out)) {
    copy_ = view_;
    view_ = copy_;
  }
}
