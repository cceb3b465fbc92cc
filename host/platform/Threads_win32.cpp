#include "platform/Threads.h"

#include "platform/SystemMessage_win32.h"

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>
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

// Stack kept back beyond a thread's own for the handler of its overflow,
// which runs on the thread that overflowed and writes the crash note.
constexpr ULONG kOverflowHandlerStack = 32 * 1024;

} // namespace

struct StackThread::State {
  std::size_t bytes;
  const std::function<void()> *body = nullptr;
  HANDLE start = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = nullptr;
};

namespace {

DWORD WINAPI ServeBodies(LPVOID parameter) {
  StackThread::State &state = *static_cast<StackThread::State *>(parameter);
  ULONG guarantee = kOverflowHandlerStack;
  SetThreadStackGuarantee(&guarantee);
  // The system may reserve more than asked (Wine does, at least 1 MiB):
  // what lies beyond the stack asked for is used up here, before the bodies.
  MEMORY_BASIC_INFORMATION stack{};
  VirtualQuery(&stack, &stack, sizeof stack);
  const std::size_t left =
      reinterpret_cast<std::uintptr_t>(&stack) -
      reinterpret_cast<std::uintptr_t>(stack.AllocationBase);
  const std::size_t wanted = state.bytes + kOverflowHandlerStack;
  if (left > wanted) {
    volatile char *surplus =
        static_cast<char *>(__builtin_alloca(left - wanted));
    surplus[0] = 0;
  }
  // A null body is the word to stop.
  while (WaitForSingleObject(state.start, INFINITE) == WAIT_OBJECT_0 &&
         state.body != nullptr) {
    (*state.body)();
    SetEvent(state.done);
  }
  return 0;
}

} // namespace

StackThread::StackThread(std::size_t bytes) : state_(new State{bytes}) {
  // A reservation, not a commitment: the stack the thread may grow to, and
  // the handler's.
  if (state_->start != nullptr && state_->done != nullptr) {
    state_->thread =
        CreateThread(nullptr, bytes + kOverflowHandlerStack, ServeBodies,
                     state_.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  }
  if (state_->thread == nullptr) {
    const DWORD error = GetLastError();
    for (HANDLE event : {state_->start, state_->done}) {
      if (event != nullptr) {
        CloseHandle(event);
      }
    }
    throw std::runtime_error("cannot start a thread of " +
                             std::to_string(bytes) +
                             " bytes of stack: " + SystemMessage(error));
  }
}

StackThread::~StackThread() {
  state_->body = nullptr;
  SetEvent(state_->start);
  WaitForSingleObject(state_->thread, INFINITE);
  for (HANDLE handle : {state_->thread, state_->start, state_->done}) {
    CloseHandle(handle);
  }
}

void StackThread::Run(const std::function<void()> &body) {
  state_->body = &body;
  SetEvent(state_->start);
  WaitForSingleObject(state_->done, INFINITE);
}

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
