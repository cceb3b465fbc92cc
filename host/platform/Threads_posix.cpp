#include "platform/Threads.h"

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

} // namespace directive_host::platform
