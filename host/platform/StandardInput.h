// The process's standard input as a stream buffer of its own, read as raw
// bytes, that can tell whether more input is waiting without blocking: the
// language server works off what a client has queued before it analyses.
// The buffer is portable; reading and waiting are one implementation per
// platform.
#pragma once

#include <cstddef>
#include <streambuf>

namespace directive_host::platform {

class StandardInput : public std::streambuf {
public:
  StandardInput();
  StandardInput(const StandardInput &) = delete;
  StandardInput &operator=(const StandardInput &) = delete;

  // Whether a byte (or the end of the input) can be read without blocking,
  // waiting at most `milliseconds` for one.
  bool Waiting(int milliseconds);

protected:
  int_type underflow() override;
  std::streamsize showmanyc() override;

private:
  char buffer_[65536];
};

// Reads at most `size` bytes of standard input, blocking until there are
// some; 0 at its end or on an error.
std::size_t ReadStandardInput(char *buffer, std::size_t size);

// Whether standard input has a byte (or its end) to read, waiting at most
// `milliseconds` for one.
bool StandardInputReady(int milliseconds);

} // namespace directive_host::platform
