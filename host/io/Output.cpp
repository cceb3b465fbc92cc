#include "io/Output.h"

#include "io/Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace directive_host {

void WriteOutput(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void WriteDiagnostic(const std::string &line) {
  // One write each: standard error is unbuffered.
  std::fputs((line + "\n").c_str(), stderr);
}

void FinishOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    throw Failure(std::string("cannot write standard output: ") +
                  std::strerror(errno));
  }
}

} // namespace directive_host
