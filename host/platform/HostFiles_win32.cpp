#include "platform/HostFiles.h"
#include "platform/SystemMessage_win32.h"
#include "platform/WidePath_win32.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace directive_host::platform {

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

namespace {

FileState StateOfHandle(HANDLE handle, bool &ok, std::string &error) {
  FileState state;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) {
    error = SystemMessage(GetLastError());
    ok = false;
    return state;
  }
  ok = true;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    state.kind = FileState::Kind::kFolder;
  } else if (GetFileType(handle) == FILE_TYPE_DISK) {
    state.kind = FileState::Kind::kRegular;
  } else {
    state.kindName = "device";
  }
  state.device = info.dwVolumeSerialNumber;
  state.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                   info.nFileIndexLow;
  state.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
               info.nFileSizeLow;
  state.modified = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
      info.ftLastWriteTime.dwLowDateTime);
  state.links = info.nNumberOfLinks;
  state.mode =
      (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
  return state;
}

} // namespace

bool StatFile(const std::string &path, FileState &state, std::string &error) {
  // No access asked: only the file's information is read, whoever holds it.
  const HANDLE handle =
      CreateFileW(WidePath(path).c_str(), 0,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = SystemMessage(GetLastError());
    return false;
  }
  bool ok = false;
  state = StateOfHandle(handle, ok, error);
  CloseHandle(handle);
  return ok;
}

bool StatOpenFile(std::FILE *file, FileState &state, std::string &error) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  if (handle == INVALID_HANDLE_VALUE) {
    error = std::strerror(errno);
    return false;
  }
  bool ok = false;
  state = StateOfHandle(handle, ok, error);
  return ok;
}

// Made here rather than with GetTempFileName, which takes folders of at most
// MAX_PATH - 14 characters and writes the name into a MAX_PATH buffer. The
// file is shared for deletion, so that an interruption can remove it while
// it is being written.
std::FILE *CreateUniqueFile(const std::string &directory, std::string &path,
                            std::string &error) {
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
    const std::string candidate =
        directory + separator + ".directive-host-" + suffix + ".tmp";
    const HANDLE handle =
        CreateFileW(WidePath(candidate).c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                             _O_WRONLY | _O_BINARY);
      std::FILE *file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
      if (file == nullptr) {
        error = std::strerror(errno);
        if (descriptor < 0) {
          CloseHandle(handle);
        } else {
          _close(descriptor);
        }
        DeleteFileW(WidePath(candidate).c_str());
        return nullptr;
      }
      path = candidate;
      return file;
    }
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
      error = SystemMessage(code);
      return nullptr;
    }
  }
  error = SystemMessage(ERROR_FILE_EXISTS);
  return nullptr;
}

// Windows files have no POSIX owner to keep; of the mode, the read-only
// attribute is what the system has.
bool KeepOwnerAndMode(const std::string &path, const FileState &original,
                      std::string &error) {
  if ((original.mode & 0222) != 0) {
    return true;
  }
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      !SetFileAttributesW(wide.c_str(), attributes | FILE_ATTRIBUTE_READONLY)) {
    error = SystemMessage(GetLastError());
    return false;
  }
  return true;
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

} // namespace directive_host::platform
