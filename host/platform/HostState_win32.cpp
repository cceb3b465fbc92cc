#include "platform/HostState.h"

#include <windows.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <fcntl.h>
#include <float.h>
#include <io.h>
#include <sys/stat.h>

namespace directive_host::platform {

namespace {

// The C library's handlers: it has no query, so each is swapped out and
// back.
void AddSignals(ProcessState &state) {
  const std::pair<int, const char *> signals[] = {
      {SIGINT, "SIGINT"},   {SIGILL, "SIGILL"},   {SIGFPE, "SIGFPE"},
      {SIGSEGV, "SIGSEGV"}, {SIGTERM, "SIGTERM"}, {SIGBREAK, "SIGBREAK"},
      {SIGABRT, "SIGABRT"},
  };
  for (const auto &[signal, name] : signals) {
    const auto handler = std::signal(signal, SIG_DFL);
    std::signal(signal, handler);
    const auto address = reinterpret_cast<unsigned long long>(handler);
    state[std::string("signal ") + name] = handler == SIG_DFL ? "default"
                                           : handler == SIG_IGN
                                               ? "ignored"
                                               : "handler " + HexText(address);
  }
}

// Environment strings but the hidden "=C:=C:\\folder" ones, which follow
// the working folder.
void AddEnvironment(ProcessState &state) {
  char *block = GetEnvironmentStringsA();
  if (block == nullptr) {
    return;
  }
  for (const char *entry = block; *entry != '\0';
       entry += std::strlen(entry) + 1) {
    const std::string variable(entry);
    const std::size_t equals = variable.find('=', 1);
    if (variable[0] != '=') {
      state["environment " + variable.substr(0, equals)] =
          equals == std::string::npos ? "" : variable.substr(equals + 1);
    }
  }
  FreeEnvironmentStringsA(block);
}

// A file in the temporary folder that goes away when it is closed.
int TemporaryFile() {
  char folder[MAX_PATH + 1];
  char path[MAX_PATH + 1];
  if (GetTempPathA(MAX_PATH + 1, folder) == 0 ||
      GetTempFileNameA(folder, "dho", 0, path) == 0) {
    return -1;
  }
  return _open(path, _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY | _O_TEMPORARY,
               _S_IREAD | _S_IWRITE);
}

// Sets the descriptor and the handle under it, as modules write to either.
void Redirect(int from, int to, DWORD handle) {
  _dup2(from, to);
  SetStdHandle(handle, reinterpret_cast<HANDLE>(_get_osfhandle(to)));
}

} // namespace

ProcessState HostProcessState() {
  ProcessState state;
  AddLocaleParts(state);
  state["floating-point control word"] = HexText(_controlfp(0, 0));
  AddSignals(state);
  state["error mode"] = HexText(GetErrorMode());
  const int mask = _umask(0);
  _umask(mask);
  state["umask"] = OctalText(static_cast<unsigned>(mask));
  if (char *folder = _getcwd(nullptr, 0)) {
    state["working folder"] = folder;
    std::free(folder);
  }
  AddEnvironment(state);
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles > 0) {
    state["open handles"] = std::to_string(handles);
  }
  // The C library's descriptors cannot be listed, and Wine counts no
  // handles; a file a module left open still takes the lowest free one.
  const int lowest = _dup(2);
  if (lowest >= 0) {
    _close(lowest);
    state["lowest free descriptor"] = std::to_string(lowest);
  }
  return state;
}

CapturedOutput::CapturedOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  file_ = TemporaryFile();
  if (file_ < 0) {
    return;
  }
  savedOutput_ = _dup(1);
  savedError_ = _dup(2);
  Redirect(file_, 1, STD_OUTPUT_HANDLE);
  Redirect(file_, 2, STD_ERROR_HANDLE);
}

CapturedOutput::~CapturedOutput() {
  if (file_ < 0) {
    return;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  Redirect(savedOutput_, 1, STD_OUTPUT_HANDLE);
  Redirect(savedError_, 2, STD_ERROR_HANDLE);
  _close(savedOutput_);
  _close(savedError_);
  _close(file_);
}

std::string CapturedOutput::Bytes() const {
  std::fflush(stdout);
  std::fflush(stderr);
  std::string bytes;
  if (file_ < 0) {
    return bytes;
  }
  // The descriptors share one offset: read from the start, then go back to
  // the end for the writes that follow.
  _lseeki64(file_, 0, SEEK_SET);
  char block[4096];
  int got = 0;
  while ((got = _read(file_, block, sizeof block)) > 0) {
    bytes.append(block, static_cast<std::size_t>(got));
  }
  _lseeki64(file_, 0, SEEK_END);
  return bytes;
}

OutputToError::OutputToError() {
  std::fflush(stdout);
  savedOutput_ = _dup(1);
  Redirect(2, 1, STD_OUTPUT_HANDLE);
}

OutputToError::~OutputToError() {
  std::fflush(stdout);
  if (savedOutput_ >= 0) {
    Redirect(savedOutput_, 1, STD_OUTPUT_HANDLE);
    _close(savedOutput_);
  }
}

} // namespace directive_host::platform
