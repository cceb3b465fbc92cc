#include "platform/Threads.h"

#include <chrono>
#include <thread>
#include <vector>

namespace directive_host::platform {

void RunOnThreads(int count, const std::function<void(int)> &body) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) {
    threads.emplace_back([&body, i] { body(i); });
  }
  for (std::thread &thread : threads) {
    thread.join();
  }
}

void StartTicking(int milliseconds, std::function<void()> tick) {
  std::thread([milliseconds, tick = std::move(tick)] {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
      tick();
    }
  }).detach();
}

} // namespace directive_host::platform
