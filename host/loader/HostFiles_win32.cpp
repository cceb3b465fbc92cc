#include "HostFiles.h"
#include "SystemMessage_win32.h"
#include "WidePath_win32.h"

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
  _setmode(_fileno(stderr), _O_BINARY);
}

std::FILE *OpenFile(const std::string &path, const char *mode) {
  return _wfopen(WidePath(path).c_str(), WideText(mode).c_str());
}

std::filesystem::path FileSystemPath(const std::string &path) {
  return WideText(path);
}

std::string PathString(const std::filesystem::path &path) {
  return AnsiText(path.wstring());
}

// Made here rather than with GetTempFileName, which takes folders of at most
// MAX_PATH - 14 characters and writes the name into a MAX_PATH buffer.
std::string CreateUniqueFile(const std::string &directory, std::string &error) {
  const std::string separator =
      directory.empty() || directory.back() == '\\' || directory.back() == '/'
          ? ""
          : "\\";
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 1103515245u + 12345u;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08lx",
                  static_cast<unsigned long>(seed));
    const std::string path =
        directory + separator + ".directive-host-" + suffix + ".tmp";
    const HANDLE file =
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return path;
    }
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
      error = SystemMessage(code);
      return {};
    }
  }
  error = SystemMessage(ERROR_FILE_EXISTS);
  return {};
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
  if (!MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = SystemMessage(GetLastError());
    return false;
  }
  return true;
}

// MOVEFILE_WRITE_THROUGH makes the rename wait until it is on the disk.
bool SyncDirectory(const std::string &, std::string &) { return true; }

} // namespace host
