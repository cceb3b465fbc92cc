#include "platform/Threads.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
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

struct StackThread::State {
  std::mutex mutex;
  std::condition_variable changed;
  const std::function<void()> *body = nullptr;
  bool stopping = false;
  pthread_t thread{};
};

namespace {

// A signal stack of the thread's own, which a crash handler needs once the
// thread's stack has overflowed.
constexpr std::size_t kSignalStack = 64 * 1024;

void *ServeBodies(void *parameter) {
  StackThread::State &state = *static_cast<StackThread::State *>(parameter);
  std::vector<char> signalStack(kSignalStack);
  stack_t stack{};
  stack.ss_sp = signalStack.data();
  stack.ss_size = signalStack.size();
  sigaltstack(&stack, nullptr);
  std::unique_lock lock(state.mutex);
  for (;;) {
    state.changed.wait(lock, [&] { return state.body || state.stopping; });
    if (state.body == nullptr) {
      break;
    }
    lock.unlock();
    (*state.body)();
    lock.lock();
    state.body = nullptr;
    state.changed.notify_all();
  }
  stack.ss_flags = SS_DISABLE;
  sigaltstack(&stack, nullptr);
  return nullptr;
}

} // namespace

StackThread::StackThread(std::size_t bytes) : state_(new State) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  int error = pthread_attr_setstacksize(&attributes, bytes);
  if (error == 0) {
    error =
        pthread_create(&state_->thread, &attributes, ServeBodies, state_.get());
  }
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    throw std::runtime_error(std::string("cannot start a thread of ") +
                             std::to_string(bytes) +
                             " bytes of stack: " + std::strerror(error));
  }
}

StackThread::~StackThread() {
  {
    const std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  pthread_join(state_->thread, nullptr);
}

void StackThread::Run(const std::function<void()> &body) {
  std::unique_lock lock(state_->mutex);
  state_->body = &body;
  state_->changed.notify_all();
  state_->changed.wait(lock, [&] { return state_->body == nullptr; });
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
