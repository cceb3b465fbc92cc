// Runs a body on several threads at once and waits for them all. The 32-bit
// Windows runtime the plug-in is built with has no std::thread, so Windows
// uses the system's threads directly.
#pragma once

#include <functional>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <thread>
#endif

struct ThreadStart {
  const std::function<void(int)> *body;
  int index;
};

#ifdef _WIN32
inline DWORD WINAPI RunThreadStart(LPVOID parameter) {
  const ThreadStart &start = *static_cast<const ThreadStart *>(parameter);
  (*start.body)(start.index);
  return 0;
}
#endif

inline void RunOnThreads(int count, const std::function<void(int)> &body) {
  using Start = ThreadStart;
  std::vector<Start> starts;
  for (int i = 0; i < count; ++i) {
    starts.push_back({&body, i});
  }
#ifdef _WIN32
  std::vector<HANDLE> threads;
  for (Start &start : starts) {
    threads.push_back(
        CreateThread(nullptr, 0, RunThreadStart, &start, 0, nullptr));
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
#else
  std::vector<std::thread> threads;
  for (const Start &start : starts) {
    threads.emplace_back([start] { (*start.body)(start.index); });
  }
  for (std::thread &thread : threads) {
    thread.join();
  }
#endif
}
