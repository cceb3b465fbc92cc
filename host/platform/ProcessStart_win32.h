// Starting a Windows process: its command line, the start itself, which
// Wine now and then fails for no reason of the caller's, and the handles it
// hands out.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace directive_host::platform {

// Closes a kernel handle when it goes; null and INVALID_HANDLE_VALUE are
// none.
class Handle {
public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  Handle(const Handle &) = delete;
  Handle &operator=(const Handle &) = delete;
  ~Handle() {
    if (valid()) {
      CloseHandle(handle_);
    }
  }
  HANDLE get() const { return handle_; }
  bool valid() const {
    return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
  }

private:
  HANDLE handle_;
};

// `program` and `arguments` (ANSI code page) as a command line that the
// runtime's parser splits back into exactly those strings.
std::wstring QuotedCommandLine(const std::string &program,
                               const std::vector<std::string> &arguments);

// Calls `start` (a CreateProcess call) and, while it fails with
// ERROR_INTERNAL_ERROR, which Wine gives now and then with nothing run,
// a few times more. Returns the last result; GetLastError() tells why.
BOOL StartProcessRetrying(const std::function<BOOL()> &start);

} // namespace directive_host::platform
