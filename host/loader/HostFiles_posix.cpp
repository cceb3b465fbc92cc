#include "HostFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace host {

void UseBinaryStandardStreams() {}

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

bool RenameReplacing(const std::string &from, const std::string &to,
                     std::string &error) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

} // namespace host
