// Runs the built directive-host as a user would and captures what it does,
// and the file services its tests need. ReadBytes and WriteBytes are
// portable; the rest has one implementation per platform (HostRun_posix.cpp,
// HostRun_win32.cpp).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct HostRun {
  // The exit code; on POSIX 128 + the signal number when it was killed, on
  // Windows the exception code when it crashed.
  int exitCode = -1;
  std::string out;
  std::string err;
};

struct HostRunOptions {
  std::string input;            // standard input
  std::filesystem::path folder; // working folder; the current one when empty
  std::string outputPath;       // where standard output goes; captured if ""
  std::vector<std::string> environment; // replaces the environment if set
};

// Runs `program` with `arguments` and waits for it to end. Each argument
// reaches the program as it is given, spaces, quotes and backslashes
// included (on Windows, quoted for the runtime's command-line parser).
HostRun RunProgram(const std::string &program,
                   const std::vector<std::string> &arguments,
                   const HostRunOptions &options = {});

// Creates a new folder in the system's temporary folder, its name made of
// `prefix` and a unique suffix, and returns its path.
std::filesystem::path MakeTemporaryFolder(const std::string &prefix);

// The path named by `text`, a string in the system's narrow encoding, which
// on Windows is the ANSI code page: std::filesystem converts narrow strings
// in an encoding of its own there.
std::filesystem::path NativePath(const std::string &text);

// The names in `folder`, sorted, in the system's narrow encoding; at any
// length of path.
std::vector<std::string> FolderNames(const std::filesystem::path &folder);

// Removes `folder` and everything in it, at any length of path.
void RemoveTree(const std::filesystem::path &folder);

// The whole contents of a file ("" when it cannot be read).
std::string ReadBytes(const std::filesystem::path &path);

void WriteBytes(const std::filesystem::path &path, const std::string &bytes);
