// What a crash or a hang of the process reports: the last detail and input a
// CrashNote was given (see platform::ReportCrashes, platform::WatchCalls).
#pragma once

#include <string>

namespace directive_host::validate {

// While it lives, a crash or a hang reports its last Set(); it then gives
// the note back to the one it took over from, so that notes may nest.
class CrashNote {
public:
  CrashNote() = default;
  ~CrashNote();
  CrashNote(const CrashNote &) = delete;
  CrashNote &operator=(const CrashNote &) = delete;

  void Set(const std::string &detail, const std::string &input = "");

private:
  std::string text_;
  bool set_ = false;
  const std::string *previous_ = nullptr;
};

} // namespace directive_host::validate
