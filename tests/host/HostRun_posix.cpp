#include "HostRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::vector<char *> ArgumentVector(std::vector<std::string> &strings) {
  std::vector<char *> pointers;
  for (std::string &s : strings) {
    pointers.push_back(s.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

// Runs in the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void Exec(const char *program, char **argv, char **envp,
                       const char *folder, const char *in, const char *out,
                       const char *err) {
  const int inFd = open(in, O_RDONLY);
  const int outFd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int errFd = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (inFd < 0 || outFd < 0 || errFd < 0 || dup2(inFd, 0) < 0 ||
      dup2(outFd, 1) < 0 || dup2(errFd, 2) < 0 ||
      (folder[0] != '\0' && chdir(folder) != 0)) {
    _exit(126);
  }
  if (envp != nullptr) {
    execve(program, argv, envp);
  } else {
    execv(program, argv);
  }
  _exit(127);
}

} // namespace

fs::path MakeTemporaryFolder(const std::string &prefix) {
  std::string pattern =
      (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a folder like " + pattern);
  }
  return pattern;
}

fs::path NativePath(const std::string &text) { return text; }

std::vector<std::string> FolderNames(const fs::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const fs::path &folder) { fs::remove_all(folder); }

HostRun RunProgram(const std::string &program,
                   const std::vector<std::string> &arguments,
                   const HostRunOptions &options) {
  const fs::path captureFolder = MakeTemporaryFolder("host-run");
  const std::string in = (captureFolder / "in").string();
  const std::string err = (captureFolder / "err").string();
  const std::string out = options.outputPath.empty()
                              ? (captureFolder / "out").string()
                              : options.outputPath;
  WriteBytes(in, options.input);

  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
  std::vector<char *> argv = ArgumentVector(argStrings);
  std::vector<std::string> envStrings = options.environment;
  std::vector<char *> envp = ArgumentVector(envStrings);
  const std::string folder = options.folder.string();

  const pid_t child = fork();
  if (child == 0) {
    Exec(program.c_str(), argv.data(),
         options.environment.empty() ? nullptr : envp.data(), folder.c_str(),
         in.c_str(), out.c_str(), err.c_str());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) {
    fs::remove_all(captureFolder);
    throw std::runtime_error("cannot run " + program);
  }
  HostRun run;
  run.exitCode =
      WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = options.outputPath.empty() ? ReadBytes(out) : "";
  run.err = ReadBytes(err);
  fs::remove_all(captureFolder);
  return run;
}
