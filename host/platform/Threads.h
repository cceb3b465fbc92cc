// Runs a body on several threads at once and waits for them all. The 32-bit
// Windows runtime the programs are built with has no std::thread, so Windows
// uses the system's threads directly. One implementation per platform.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace directive_host::platform {

// Calls body(0) ... body(count - 1), each on a thread of its own, and
// returns when all have returned.
void RunOnThreads(int count, const std::function<void(int)> &body);

// A thread whose stack is `bytes` long, on which Run calls one body at a
// time, each from the same depth, so that every body has the whole stack
// to itself. One thread serves every call because starting one per call is
// slow where threads are (some 20 ms under Wine). A fault there (an
// overflow of that stack too) is reported as ReportCrashes has it.
class StackThread {
public:
  // Throws std::runtime_error when no such thread can be made.
  explicit StackThread(std::size_t bytes);
  ~StackThread();
  StackThread(const StackThread &) = delete;
  StackThread &operator=(const StackThread &) = delete;

  // Calls body() on the thread and returns when it has returned. `body`
  // must not throw.
  void Run(const std::function<void()> &body);

  struct State;

private:
  std::unique_ptr<State> state_;
};

// Calls tick() every `milliseconds` on a thread of its own, for as long as
// the process lives.
void StartTicking(int milliseconds, std::function<void()> tick);

} // namespace directive_host::platform
