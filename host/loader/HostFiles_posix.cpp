#include "HostFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace host {

void UseBinaryStandardStreams() {}

std::FILE *OpenFile(const std::string &path, const char *mode) {
  return std::fopen(path.c_str(), mode);
}

std::filesystem::path FileSystemPath(const std::string &path) { return path; }

std::string PathString(const std::filesystem::path &path) {
  return path.string();
}

std::string CreateUniqueFile(const std::string &directory, std::string &error) {
  const std::string pattern = directory + "/.directive-host-XXXXXX";
  std::vector<char> path(pattern.begin(), pattern.end());
  path.push_back('\0');
  const int descriptor = mkstemp(path.data());
  if (descriptor < 0) {
    error = std::strerror(errno);
    return {};
  }
  close(descriptor);
  return path.data();
}

bool FlushToDisk(std::FILE *file, std::string &error) {
  if (std::fflush(file) != 0 || fsync(fileno(file)) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

bool RenameReplacing(const std::string &from, const std::string &to,
                     std::string &error) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

bool SyncDirectory(const std::string &directory, std::string &error) {
  const int descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) {
    error = std::strerror(errno);
    return false;
  }
  // A file system that cannot sync a directory says so with EINVAL; its
  // renames are as durable as it makes them.
  const bool synced = fsync(descriptor) == 0 || errno == EINVAL;
  if (!synced) {
    error = std::strerror(errno);
  }
  close(descriptor);
  return synced;
}

} // namespace host
