// What of a process belongs to its host rather than to the modules it
// loads: the locale, the floating-point modes, the handling of signals or
// errors, the file-creation mask, the working folder, the environment and
// the open descriptors or handles; and standard output and error, which a
// capture takes over. One implementation per platform.
#pragma once

#include <map>
#include <string>

namespace directive_host::platform {

// Each part by name ("locale LC_NUMERIC", "umask", "environment PATH",
// "descriptor 5") with its value as text, so that two of them compare part
// by part. The floating-point exception flags are left out: the host's own
// arithmetic raises them.
using ProcessState = std::map<std::string, std::string>;
ProcessState HostProcessState();

// The parts that every platform takes alike, for HostProcessState.
void AddLocaleParts(ProcessState &state);
std::string HexText(unsigned long long value);
std::string OctalText(unsigned value);

// While it lives, standard output and error (the C library's streams and
// the descriptors or handles under them) write into a file of its own;
// destroyed, it puts them back. A crash or hang note still reaches the
// output the process started with.
class CapturedOutput {
public:
  CapturedOutput();
  ~CapturedOutput();
  CapturedOutput(const CapturedOutput &) = delete;
  CapturedOutput &operator=(const CapturedOutput &) = delete;

  // What was written to either of them so far, streams flushed.
  std::string Bytes() const;

private:
  int file_ = -1;
  int savedOutput_ = -1;
  int savedError_ = -1;
};

// While it lives, what is written to standard output goes to standard
// error, so that the output stays the report's.
class OutputToError {
public:
  OutputToError();
  ~OutputToError();
  OutputToError(const OutputToError &) = delete;
  OutputToError &operator=(const OutputToError &) = delete;

private:
  int savedOutput_ = -1;
};

} // namespace directive_host::platform
