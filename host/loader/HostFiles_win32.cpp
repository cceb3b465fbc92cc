#include "HostFiles.h"
#include "SystemMessage_win32.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

bool FlushToDisk(std::FILE *file, std::string &error) {
  if (std::fflush(file) != 0) {
    error = std::strerror(errno);
    return false;
  }
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) {
    error = SystemMessage(GetLastError());
    return false;
  }
  return true;
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

// MOVEFILE_WRITE_THROUGH makes the rename wait until it is on the disk.
bool SyncDirectory(const std::string &, std::string &) { return true; }

} // namespace host
