#include "platform/Threads.h"

#include <windows.h>

#include <vector>

namespace directive_host::platform {

namespace {

struct ThreadStart {
  const std::function<void(int)> *body;
  int index;
};

struct Ticking {
  int milliseconds;
  std::function<void()> tick;
};

DWORD WINAPI RunTicking(LPVOID parameter) {
  const Ticking &ticking = *static_cast<const Ticking *>(parameter);
  for (;;) {
    Sleep(static_cast<DWORD>(ticking.milliseconds));
    ticking.tick();
  }
}

DWORD WINAPI RunThreadStart(LPVOID parameter) {
  const ThreadStart &start = *static_cast<const ThreadStart *>(parameter);
  (*start.body)(start.index);
  return 0;
}

} // namespace

void RunOnThreads(int count, const std::function<void(int)> &body) {
  std::vector<ThreadStart> starts;
  for (int i = 0; i < count; ++i) {
    starts.push_back({&body, i});
  }
  std::vector<HANDLE> threads;
  for (ThreadStart &start : starts) {
    const HANDLE thread =
        CreateThread(nullptr, 0, RunThreadStart, &start, 0, nullptr);
    if (thread == nullptr) {
      RunThreadStart(&start); // still every index, one after another
    } else {
      threads.push_back(thread);
    }
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
}

void StartTicking(int milliseconds, std::function<void()> tick) {
  // Lives as long as the thread, which is as long as the process.
  auto *ticking = new Ticking{milliseconds, std::move(tick)};
  const HANDLE thread =
      CreateThread(nullptr, 0, RunTicking, ticking, 0, nullptr);
  if (thread == nullptr) {
    delete ticking;
    return;
  }
  CloseHandle(thread);
}

} // namespace directive_host::platform
