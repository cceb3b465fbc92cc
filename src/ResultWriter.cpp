#include "ResultWriter.h"

#include <new>

std::string_view HostString(const char *text) {
  return text != nullptr ? std::string_view(text) : std::string_view();
}

void ResultWriter::HoldApart() {
  private_.reset(new (std::nothrow) char[DIRECTIVE_RESULT_CAPACITY]);
  target_ = private_.get();
  if (target_ == nullptr) {
    size_ = kFailed;
  }
}

void ResultWriter::Finish() {
  if (out_ == nullptr) {
    return;
  }
  if (size_ > kRoom) {
    out_[0] = '\0';
    return;
  }
  target_[size_] = '\0';
  if (target_ != out_) {
    std::memcpy(out_, target_, size_ + 1);
  }
}
