#include "platform/StandardInput.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace directive_host::platform {

StandardInput::StandardInput() { setg(buffer_, buffer_, buffer_); }

StandardInput::int_type StandardInput::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  ssize_t got = 0;
  do {
    got = read(STDIN_FILENO, buffer_, sizeof buffer_);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    return traits_type::eof();
  }
  setg(buffer_, buffer_, buffer_ + got);
  return traits_type::to_int_type(*gptr());
}

std::streamsize StandardInput::showmanyc() { return egptr() - gptr(); }

bool StandardInput::Waiting(int milliseconds) {
  if (gptr() < egptr()) {
    return true;
  }
  pollfd input{STDIN_FILENO, POLLIN, 0};
  int ready = 0;
  do {
    ready = poll(&input, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  // An error or a hang-up is waiting too: the next read reports it.
  return ready != 0;
}

} // namespace directive_host::platform
