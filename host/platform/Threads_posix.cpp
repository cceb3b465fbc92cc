#include "platform/Threads.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <stdexcept>
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

namespace {

// A signal stack of the thread's own, which a crash handler needs once the
// thread's stack has overflowed.
constexpr std::size_t kSignalStack = 64 * 1024;

void *RunBody(void *body) {
  std::vector<char> signalStack(kSignalStack);
  stack_t stack{};
  stack.ss_sp = signalStack.data();
  stack.ss_size = signalStack.size();
  sigaltstack(&stack, nullptr);
  (*static_cast<const std::function<void()> *>(body))();
  stack.ss_flags = SS_DISABLE;
  sigaltstack(&stack, nullptr);
  return nullptr;
}

} // namespace

void RunWithStack(std::size_t bytes, const std::function<void()> &body) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  int error = pthread_attr_setstacksize(&attributes, bytes);
  pthread_t thread;
  if (error == 0) {
    error = pthread_create(&thread, &attributes, RunBody,
                           const_cast<std::function<void()> *>(&body));
  }
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    throw std::runtime_error(std::string("cannot start a thread of ") +
                             std::to_string(bytes) +
                             " bytes of stack: " + std::strerror(error));
  }
  pthread_join(thread, nullptr);
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
