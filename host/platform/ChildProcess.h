// Runs a program as a child process with a time limit and captures what it
// writes, and lets a child report how it crashed. One implementation per
// platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace directive_host::platform {

struct ChildOutcome {
  enum class End { kExited, kCrashed, kTimedOut, kNotStarted };
  End end = End::kNotStarted;
  int exitCode = -1;  // when it exited
  std::string reason; // the signal or exception that ended it, or why it
                      // could not start
  std::string output; // its standard output, however it ended
};

// Runs `program` with `arguments`, each reaching it unchanged, with an empty
// standard input and this process's standard error. When it has not ended
// after `seconds`, it and every process it started are killed.
ChildOutcome RunChild(const std::string &program,
                      const std::vector<std::string> &arguments,
                      double seconds);

// Written to standard output before the note when a process that called
// ReportCrashes crashes.
inline constexpr std::string_view kCrashNoteMarker =
    "\n@@ directive-host crash note @@\n";

// From now on a crash of this process (a fault, an illegal instruction, an
// abort) writes kCrashNoteMarker and the current note to standard output
// before the process ends as the crash would end it, without a dialog, a
// debugger or a core file. With a `heading`, for a process that runs the
// checks in itself, whose exit status is all its caller reads: a crash, and
// a hang that WatchCalls ends, write `heading` and the note to standard
// error instead and exit with `exitCode`, never as if nothing had happened.
// `heading` stays valid as long as the process (a literal).
void ReportCrashes(std::string_view heading = {}, int exitCode = 0);

// The exit code of a process that abort() ended on Windows, where it is no
// signal; a crash note beside it tells it from a plain exit.
inline constexpr int kAbortExitCode = 3;

// The note a crash or a hang writes. `note` must stay valid and unchanged
// until it is replaced; null writes none. Returns the note it replaces.
const std::string *SetCrashNote(const std::string *note);

// Written to standard output before the note when a process that called
// WatchCalls ends a call that hung.
inline constexpr std::string_view kHangNoteMarker =
    "\n@@ directive-host hang note @@\n";

// Writes kHangNoteMarker and the current note to standard output and ends
// this process at once, as a watchdog does: no handler, no destructor and no
// module's own clean-up runs, as any of them might wait for the hung call.
[[noreturn]] void EndHungProcess();
inline constexpr int kHungExitCode = 124;

} // namespace directive_host::platform
