#include "platform/ChildProcess.h"
#include "platform/ProcessStart_win32.h"
#include "platform/SystemMessage_win32.h"
#include "platform/WidePath_win32.h"

#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace directive_host::platform {

namespace {

std::atomic<const std::string *> crashNote{nullptr};
// Where notes go: the standard output the process started with, even while
// a check has taken it over.
std::atomic<HANDLE> noteOutput{INVALID_HANDLE_VALUE};

HANDLE NoteOutput() {
  const HANDLE output = noteOutput.load();
  return output != INVALID_HANDLE_VALUE ? output
                                        : GetStdHandle(STD_OUTPUT_HANDLE);
}
// Set by ReportCrashes before any crash can read them: what a crash or hang
// writes to standard error and the exit code it ends with; empty: it ends
// as the crash would.
std::string_view exitHeading;
int exitCode = 0;

// A new file in the temporary folder that the child inherits as its standard
// output; it goes away when the last handle of it is closed.
HANDLE CaptureFile() {
  wchar_t folder[MAX_PATH + 1];
  wchar_t path[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 ||
      GetTempFileNameW(folder, L"dhv", 0, path) == 0) {
    return INVALID_HANDLE_VALUE;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                     nullptr);
}

HANDLE InheritableCopy(HANDLE handle) {
  HANDLE copy = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy,
                       0, TRUE, DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

std::string ReadFromStart(HANDLE file) {
  std::string bytes;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) ==
      INVALID_SET_FILE_POINTER) {
    return bytes;
  }
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

// NTSTATUS codes of the crashes a plug-in causes, by name.
std::string CrashReason(DWORD code) {
  const char *name = nullptr;
  switch (code) {
  case 0xC0000005:
    name = "access violation";
    break;
  case 0xC00000FD:
    name = "stack overflow";
    break;
  case 0xC0000094:
    name = "integer division by zero";
    break;
  case 0xC000001D:
    name = "illegal instruction";
    break;
  case 0x80000003:
    name = "breakpoint";
    break;
  case 0xC0000409:
    name = "stack buffer overrun";
    break;
  case 0xC0000374:
    name = "heap corruption";
    break;
  default:
    name = "exception";
  }
  char text[64];
  std::snprintf(text, sizeof text, "%s (0x%08lx)", name,
                static_cast<unsigned long>(code));
  return text;
}

void WriteAll(HANDLE out, const char *bytes, std::size_t size) {
  DWORD written = 0;
  while (size > 0 &&
         WriteFile(out, bytes, static_cast<DWORD>(size), &written, nullptr) &&
         written > 0) {
    bytes += written;
    size -= written;
  }
}

// Writes `marker` and the note, or, given a heading by ReportCrashes, that
// heading and the note to standard error and ends the process with its
// code; else ends it with `code`.
[[noreturn]] void EndWithNote(std::string_view marker, DWORD code) {
  const bool toError = !exitHeading.empty();
  const HANDLE out = toError ? GetStdHandle(STD_ERROR_HANDLE) : NoteOutput();
  const std::string_view first = toError ? exitHeading : marker;
  WriteAll(out, first.data(), first.size());
  if (const std::string *note = crashNote.load()) {
    WriteAll(out, note->data(), note->size());
  }
  if (toError) {
    WriteAll(out, "\n", 1);
    code = static_cast<DWORD>(exitCode);
  }
  TerminateProcess(GetCurrentProcess(), code);
  ExitProcess(code);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS *exception) {
  EndWithNote(kCrashNoteMarker, exception->ExceptionRecord->ExceptionCode);
}

// abort() raises SIGABRT and then exits with kAbortExitCode; no exception
// reaches OnCrash.
void OnAbort(int) { EndWithNote(kCrashNoteMarker, kAbortExitCode); }

} // namespace

ChildOutcome RunChild(const std::string &program,
                      const std::vector<std::string> &arguments,
                      double seconds) {
  ChildOutcome outcome;
  const Handle out(CaptureFile());
  const Handle in(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  const Handle inheritedIn(InheritableCopy(in.get()));
  const Handle err(InheritableCopy(GetStdHandle(STD_ERROR_HANDLE)));
  if (!out.valid()) {
    outcome.reason = SystemMessage(GetLastError());
    return outcome;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inheritedIn.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  std::wstring line = QuotedCommandLine(program, arguments);
  const std::wstring path = WideText(program);
  PROCESS_INFORMATION process{};
  // Suspended until it is in the job, so that whatever it starts is too.
  if (!StartProcessRetrying([&] {
        return CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE,
                              CREATE_SUSPENDED, nullptr, nullptr, &startup,
                              &process);
      })) {
    outcome.reason = SystemMessage(GetLastError());
    return outcome;
  }
  const Handle thread(process.hThread);
  const Handle child(process.hProcess);
  const Handle job(CreateJobObjectW(nullptr, nullptr));
  const bool inJob =
      job.valid() && AssignProcessToJobObject(job.get(), child.get());
  ResumeThread(thread.get());

  const double milliseconds = seconds * 1000;
  const DWORD wait = WaitForSingleObject(
      child.get(), milliseconds >= INFINITE ? INFINITE - 1
                                            : static_cast<DWORD>(milliseconds));
  if (wait == WAIT_TIMEOUT) {
    if (!inJob || !TerminateJobObject(job.get(), 1)) {
      TerminateProcess(child.get(), 1);
    }
    WaitForSingleObject(child.get(), INFINITE);
    outcome.end = ChildOutcome::End::kTimedOut;
  } else {
    DWORD code = 0;
    GetExitCodeProcess(child.get(), &code);
    if (code >= 0xC0000000 || code == 0x80000003) {
      outcome.end = ChildOutcome::End::kCrashed;
      outcome.reason = CrashReason(code);
    } else {
      outcome.end = ChildOutcome::End::kExited;
      outcome.exitCode = static_cast<int>(code);
    }
  }
  if (inJob) {
    // What it started and left behind must not hold the output open.
    TerminateJobObject(job.get(), 1);
  }
  outcome.output = ReadFromStart(out.get());
  return outcome;
}

void ReportCrashes(std::string_view heading, int code) {
  exitHeading = heading;
  exitCode = code;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
               SEM_NOOPENFILEERRORBOX);
  HANDLE output = INVALID_HANDLE_VALUE;
  if (DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE),
                      GetCurrentProcess(), &output, 0, FALSE,
                      DUPLICATE_SAME_ACCESS)) {
    noteOutput = output;
  }
  SetUnhandledExceptionFilter(OnCrash);
  std::signal(SIGABRT, OnAbort);
}

const std::string *SetCrashNote(const std::string *note) {
  return crashNote.exchange(note);
}

void EndHungProcess() { EndWithNote(kHangNoteMarker, kHungExitCode); }

} // namespace directive_host::platform
