// GoogleTest's thread-start notification on Windows events. The win32 thread
// model's runtime, which the Windows build uses, has no std::mutex or
// std::condition_variable for GoogleTest's own version; this one is included
// ahead of every source of the Windows test build instead.
#pragma once

#ifdef _WIN32
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
  Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
  HANDLE event_;
};

} // namespace testing::internal
#endif
