#include "platform/Interrupts.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace directive_host::platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The handler may run between any two instructions of the program, so the
// path is swapped in and out whole.
std::atomic<char *> pendingPath{nullptr};

extern "C" void RemovePendingAndEnd(int signal) {
  if (char *path = pendingPath.exchange(nullptr)) {
    unlink(path);
  }
  // SA_RESETHAND has put the default action back: the signal, raised again,
  // ends the program once this handler returns.
  raise(signal);
}

void InstallOnce() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_handler = RemovePendingAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
      sigaddset(&action.sa_mask, signal);
    }
    for (const int signal : kSignals) {
      struct sigaction previous {};
      // A signal ignored when the program started (nohup) stays ignored.
      if (sigaction(signal, nullptr, &previous) == 0 &&
          previous.sa_handler != SIG_IGN) {
        sigaction(signal, &action, nullptr);
      }
    }
    return true;
  }();
  static_cast<void>(installed);
}

} // namespace

void RemoveOnInterrupt(const std::string &path) {
  InstallOnce();
  std::free(pendingPath.exchange(strdup(path.c_str())));
}

void ForgetOnInterrupt() { std::free(pendingPath.exchange(nullptr)); }

} // namespace directive_host::platform
