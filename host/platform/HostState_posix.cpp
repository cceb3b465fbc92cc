#include "platform/HostState.h"

#include <cfenv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern char **environ;

namespace directive_host::platform {

namespace {

void AddSignals(ProcessState &state) {
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction action {};
    if (sigaction(signal, nullptr, &action) != 0) {
      continue;
    }
    const bool info = (action.sa_flags & SA_SIGINFO) != 0;
    const auto handler =
        info ? reinterpret_cast<unsigned long long>(action.sa_sigaction)
             : reinterpret_cast<unsigned long long>(action.sa_handler);
    const char *name = sigabbrev_np(signal);
    state["signal " +
          (name ? "SIG" + std::string(name) : std::to_string(signal))] =
        (handler == reinterpret_cast<unsigned long long>(SIG_DFL) ? "default"
         : handler == reinterpret_cast<unsigned long long>(SIG_IGN)
             ? "ignored"
             : "handler " + HexText(handler)) +
        ", flags " + HexText(static_cast<unsigned>(action.sa_flags));
  }
}

// Each open descriptor but the one that lists them, by what it refers to.
void AddDescriptors(ProcessState &state) {
  DIR *folder = opendir("/proc/self/fd");
  if (folder == nullptr) {
    return;
  }
  const int own = dirfd(folder);
  while (const dirent *entry = readdir(folder)) {
    const int fd = std::atoi(entry->d_name);
    if (entry->d_name[0] == '.' || fd == own) {
      continue;
    }
    char target[512];
    const ssize_t length =
        readlinkat(own, entry->d_name, target, sizeof target - 1);
    state["descriptor " + std::string(entry->d_name)] =
        length < 0 ? "open"
                   : std::string(target, static_cast<std::size_t>(length));
  }
  closedir(folder);
}

// A copy of `fd` above the standard three, closed on exec.
int Duplicate(int fd) { return fcntl(fd, F_DUPFD_CLOEXEC, 3); }

} // namespace

ProcessState HostProcessState() {
  ProcessState state;
  AddLocaleParts(state);
  state["floating-point rounding"] =
      HexText(static_cast<unsigned>(fegetround()));
#ifdef __GLIBC__
  state["floating-point traps"] = HexText(static_cast<unsigned>(fegetexcept()));
#endif
  AddSignals(state);
  const mode_t mask = umask(0);
  umask(mask);
  state["umask"] = OctalText(mask);
  if (char *folder = getcwd(nullptr, 0)) {
    state["working folder"] = folder;
    std::free(folder);
  }
  for (char **entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string variable(*entry);
    const std::size_t equals = variable.find('=');
    state["environment " + variable.substr(0, equals)] =
        equals == std::string::npos ? "" : variable.substr(equals + 1);
  }
  AddDescriptors(state);
  return state;
}

CapturedOutput::CapturedOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  char path[] = "/tmp/directive-host-output-XXXXXX";
  file_ = mkostemp(path, O_CLOEXEC);
  if (file_ < 0) {
    return;
  }
  unlink(path);
  savedOutput_ = Duplicate(STDOUT_FILENO);
  savedError_ = Duplicate(STDERR_FILENO);
  dup2(file_, STDOUT_FILENO);
  dup2(file_, STDERR_FILENO);
}

CapturedOutput::~CapturedOutput() {
  if (file_ < 0) {
    return;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(savedOutput_, STDOUT_FILENO);
  dup2(savedError_, STDERR_FILENO);
  close(savedOutput_);
  close(savedError_);
  close(file_);
}

std::string CapturedOutput::Bytes() const {
  std::fflush(stdout);
  std::fflush(stderr);
  std::string bytes;
  char block[4096];
  ssize_t got = 0;
  while (file_ >= 0 && (got = pread(file_, block, sizeof block,
                                    static_cast<off_t>(bytes.size()))) > 0) {
    bytes.append(block, static_cast<std::size_t>(got));
  }
  return bytes;
}

OutputToError::OutputToError() {
  std::fflush(stdout);
  savedOutput_ = Duplicate(STDOUT_FILENO);
  dup2(STDERR_FILENO, STDOUT_FILENO);
}

OutputToError::~OutputToError() {
  std::fflush(stdout);
  if (savedOutput_ >= 0) {
    dup2(savedOutput_, STDOUT_FILENO);
    close(savedOutput_);
  }
}

} // namespace directive_host::platform
