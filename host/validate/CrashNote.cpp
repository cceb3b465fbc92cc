#include "validate/CrashNote.h"

#include "platform/ChildProcess.h"

namespace directive_host::validate {

CrashNote::~CrashNote() {
  if (set_) {
    platform::SetCrashNote(previous_);
  }
}

void CrashNote::Set(const std::string &detail, const std::string &input) {
  const std::string *replaced = platform::SetCrashNote(nullptr);
  if (!set_) {
    previous_ = replaced;
    set_ = true;
  }
  text_ = detail + "\n" + input;
  platform::SetCrashNote(&text_);
}

} // namespace directive_host::validate
