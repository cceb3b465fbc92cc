// Runs the built directive-host as a user would and captures what it does.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct HostRun {
  int exitCode = -1; // 128 + signal number when it was killed
  std::string out;
  std::string err;
};

struct HostRunOptions {
  std::string input;            // standard input
  std::filesystem::path folder; // working folder; the current one when empty
  std::string outputPath;       // where standard output goes; captured if ""
  std::vector<std::string> environment; // replaces the environment if set
};

// Runs `program` with `arguments` and waits for it to end.
HostRun RunProgram(const std::string &program,
                   const std::vector<std::string> &arguments,
                   const HostRunOptions &options = {});

// Creates a new folder in the system's temporary folder, its name made of
// `prefix` and a unique suffix, and returns its path.
std::filesystem::path MakeTemporaryFolder(const std::string &prefix);

// The full path of the program `name` found on PATH, or "" when there is
// none.
std::string FindOnPath(const std::string &name);

// The whole contents of a file ("" when it cannot be read).
std::string ReadBytes(const std::filesystem::path &path);

void WriteBytes(const std::filesystem::path &path, const std::string &bytes);
