// Runs a body on several threads at once and waits for them all. The 32-bit
// Windows runtime the programs are built with has no std::thread, so Windows
// uses the system's threads directly. One implementation per platform.
#pragma once

#include <cstddef>
#include <functional>

namespace directive_host::platform {

// Calls body(0) ... body(count - 1), each on a thread of its own, and
// returns when all have returned.
void RunOnThreads(int count, const std::function<void(int)> &body);

// Calls body() on a thread of its own whose stack is `bytes` long, and
// returns when it has returned; a fault there (an overflow of that stack
// too) is reported as ReportCrashes has it. `body` must not throw. Throws
// std::runtime_error when no such thread can be made.
void RunWithStack(std::size_t bytes, const std::function<void()> &body);

// Calls tick() every `milliseconds` on a thread of its own, for as long as
// the process lives.
void StartTicking(int milliseconds, std::function<void()> tick);

} // namespace directive_host::platform
