#include "platform/Interrupts.h"
#include "platform/WidePath_win32.h"

#include <windows.h>

namespace directive_host::platform {

namespace {

// The console calls its handlers on a thread of their own, so the path is
// read and changed under a lock.
CRITICAL_SECTION pendingLock;
std::wstring *pendingPath = nullptr;

BOOL WINAPI RemovePending(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ||
      event == CTRL_CLOSE_EVENT) {
    EnterCriticalSection(&pendingLock);
    if (pendingPath != nullptr) {
      // The file is open for writing, shared for deletion: it goes when the
      // process closes it on the way out.
      DeleteFileW(pendingPath->c_str());
    }
    LeaveCriticalSection(&pendingLock);
  }
  return FALSE; // the default handler ends the process
}

void InstallOnce() {
  static const bool installed = [] {
    InitializeCriticalSection(&pendingLock);
    SetConsoleCtrlHandler(RemovePending, TRUE);
    return true;
  }();
  static_cast<void>(installed);
}

void SetPending(std::wstring *path) {
  EnterCriticalSection(&pendingLock);
  std::wstring *previous = pendingPath;
  pendingPath = path;
  LeaveCriticalSection(&pendingLock);
  delete previous;
}

} // namespace

void RemoveOnInterrupt(const std::string &path) {
  InstallOnce();
  SetPending(new std::wstring(WidePath(path)));
}

void ForgetOnInterrupt() {
  InstallOnce();
  SetPending(nullptr);
}

} // namespace directive_host::platform
