#include "HostRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
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

std::string FindOnPath(const std::string &name) {
  const char *path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) {
      end = folders.size();
    }
    const fs::path candidate =
        fs::path(folders.substr(start, end - start)) / name;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate.string();
    }
    start = end + 1;
  }
  return {};
}

std::string ReadBytes(const fs::path &path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file),
          std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &path, const std::string &bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

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
