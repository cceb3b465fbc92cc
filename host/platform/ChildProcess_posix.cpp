#include "platform/ChildProcess.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace directive_host::platform {

namespace {

std::atomic<const std::string *> crashNote{nullptr};
// Where notes go: the standard output the process started with, even while
// a check has taken fd 1 over.
std::atomic<int> noteOutput{STDOUT_FILENO};
// Set by ReportCrashes before any crash can read them: what a crash or hang
// writes to standard error and the exit code it ends with; empty: it ends
// as the crash would.
std::string_view exitHeading;
int exitCode = 0;

void WriteAll(int fd, const char *bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written <= 0) {
      return;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

// Writes `marker` and the note, or, given a heading by ReportCrashes, that
// heading and the note to standard error, and exits with its code then.
void WriteNoteOrExit(std::string_view marker) {
  const bool toError = !exitHeading.empty();
  const int fd = toError ? STDERR_FILENO : noteOutput.load();
  const std::string_view first = toError ? exitHeading : marker;
  WriteAll(fd, first.data(), first.size());
  if (const std::string *note = crashNote.load()) {
    WriteAll(fd, note->data(), note->size());
  }
  if (toError) {
    WriteAll(fd, "\n", 1);
    _exit(exitCode);
  }
}

// Async-signal-safe: writes and re-raises. SA_RESETHAND has restored the
// default action, so the re-raised signal (or the faulting instruction, run
// again on return) ends the process with it.
void OnCrash(int signal) {
  WriteNoteOrExit(kCrashNoteMarker);
  raise(signal);
}

} // namespace

ChildOutcome RunChild(const std::string &program,
                      const std::vector<std::string> &arguments,
                      double seconds) {
  ChildOutcome outcome;
  std::vector<std::string> strings{program};
  strings.insert(strings.end(), arguments.begin(), arguments.end());
  std::vector<char *> argv;
  for (std::string &s : strings) {
    argv.push_back(s.data());
  }
  argv.push_back(nullptr);

  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
    outcome.reason = std::strerror(errno);
    return outcome;
  }
  // Its own process group, so that a time-out kills what it started too.
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null",
                                   O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  pid_t child = -1;
  const int error = posix_spawn(&child, program.c_str(), &actions, &attributes,
                                argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(pipeEnds[1]);
  if (error != 0) {
    outcome.reason = std::strerror(error);
    close(pipeEnds[0]);
    return outcome;
  }

  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double>(seconds));
  bool timedOut = false;
  char chunk[65536];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - Clock::now())
                          .count();
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd readable{pipeEnds[0], POLLIN, 0};
    const int ready = poll(&readable, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    const ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break; // every writer has closed it: the child has ended
    }
    outcome.output.append(chunk, static_cast<std::size_t>(got));
  }
  if (timedOut) {
    kill(-child, SIGKILL);
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (timedOut) {
    outcome.end = ChildOutcome::End::kTimedOut;
  } else if (WIFSIGNALED(status)) {
    outcome.end = ChildOutcome::End::kCrashed;
    outcome.reason = "signal " + std::to_string(WTERMSIG(status)) + " (" +
                     strsignal(WTERMSIG(status)) + ")";
  } else {
    outcome.end = ChildOutcome::End::kExited;
    outcome.exitCode = WEXITSTATUS(status);
  }
  return outcome;
}

void ReportCrashes(std::string_view heading, int code) {
  exitHeading = heading;
  exitCode = code;
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
  // Its own stack, so that a stack overflow is reported too.
  static char alternateStack[64 * 1024];
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  sigaltstack(&stack, nullptr);
  if (const int output = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
      output >= 0) {
    noteOutput = output;
  }
  struct sigaction action {};
  action.sa_handler = OnCrash;
  action.sa_flags = SA_RESETHAND | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP}) {
    sigaction(signal, &action, nullptr);
  }
}

const std::string *SetCrashNote(const std::string *note) {
  return crashNote.exchange(note);
}

void EndHungProcess() {
  WriteNoteOrExit(kHangNoteMarker);
  _exit(kHungExitCode);
}

} // namespace directive_host::platform
