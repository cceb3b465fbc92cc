#include "platform/StandardInput.h"

namespace directive_host::platform {

StandardInput::StandardInput() { setg(buffer_, buffer_, buffer_); }

StandardInput::int_type StandardInput::underflow() {
  if (gptr() == egptr()) {
    const std::size_t got = ReadStandardInput(buffer_, sizeof buffer_);
    if (got == 0) {
      return traits_type::eof();
    }
    setg(buffer_, buffer_, buffer_ + got);
  }
  return traits_type::to_int_type(*gptr());
}

std::streamsize StandardInput::showmanyc() { return egptr() - gptr(); }

bool StandardInput::Waiting(int milliseconds) {
  return gptr() < egptr() || StandardInputReady(milliseconds);
}

} // namespace directive_host::platform
