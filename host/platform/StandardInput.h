// The process's standard input as a stream buffer of its own, read as raw
// bytes, that can tell whether more input is waiting without blocking: the
// language server works off what a client has queued before it analyses.
// One implementation per platform.
#pragma once

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

} // namespace directive_host::platform
