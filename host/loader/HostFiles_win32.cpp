#include "HostFiles.h"
#include "SystemMessage_win32.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace host {

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

std::string CreateUniqueFile(const std::string &directory, std::string &error) {
  char path[MAX_PATH];
  if (GetTempFileNameA(directory.c_str(), "dh", 0, path) == 0) {
    error = SystemMessage(GetLastError());
    return {};
  }
  return path;
}

bool RenameReplacing(const std::string &from, const std::string &to,
                     std::string &error) {
  if (!MoveFileExA(from.c_str(), to.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = SystemMessage(GetLastError());
    return false;
  }
  return true;
}

} // namespace host
