#include "platform/StandardInput.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace directive_host::platform {

std::size_t ReadStandardInput(char *buffer, std::size_t size) {
  ssize_t got = 0;
  do {
    got = read(STDIN_FILENO, buffer, size);
  } while (got < 0 && errno == EINTR);
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

bool StandardInputReady(int milliseconds) {
  pollfd input{STDIN_FILENO, POLLIN, 0};
  int ready = 0;
  do {
    ready = poll(&input, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  // An error or a hang-up is ready too: the next read reports it.
  return ready != 0;
}

} // namespace directive_host::platform
