#include "HostRun.h"
#include "platform/ProcessStart_win32.h"
#include "platform/WidePath_win32.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

using directive_host::platform::Handle;

// `folder` as the file calls take it at any length. The standard library's
// folder listing stops at MAX_PATH under MinGW, hence these calls.
std::wstring LongPath(const fs::path &folder) {
  std::wstring path = fs::absolute(folder).make_preferred().wstring();
  return path.starts_with(L"\\\\?\\") ? path : L"\\\\?\\" + path;
}

// The names in the folder `path` (a LongPath), "." and ".." left out.
std::vector<std::wstring> Entries(const std::wstring &path) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return names;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") {
      names.push_back(name);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void RemoveLongPath(const std::wstring &path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return;
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  for (const std::wstring &name : Entries(path)) {
    RemoveLongPath(path + L"\\" + name);
  }
  RemoveDirectoryW(path.c_str());
}

// "NAME=VALUE" strings as an environment block: each ended by a NUL, and
// the block by one more.
std::wstring EnvironmentBlock(const std::vector<std::string> &variables) {
  std::wstring block;
  for (const std::string &variable : variables) {
    block += directive_host::platform::WideText(variable);
    block += L'\0';
  }
  block += L'\0';
  return block;
}

// A handle of `path` that the child inherits as a standard stream.
HANDLE OpenStream(const fs::path &path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

fs::path MakeTemporaryFolder(const std::string &prefix) {
  const fs::path base = fs::temp_directory_path();
  const unsigned process = GetCurrentProcessId();
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    const unsigned suffix = process * 7919u + GetTickCount() + attempt;
    const fs::path folder = base / (prefix + "-" + std::to_string(suffix));
    if (CreateDirectoryW(folder.c_str(), nullptr)) {
      return folder;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      break;
    }
  }
  throw std::runtime_error("cannot create a folder like " +
                           (base / prefix).string());
}

fs::path NativePath(const std::string &text) {
  return directive_host::platform::WideText(text);
}

std::vector<std::string> FolderNames(const fs::path &folder) {
  std::vector<std::string> names;
  for (const std::wstring &name : Entries(LongPath(folder))) {
    names.push_back(directive_host::platform::AnsiText(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const fs::path &folder) { RemoveLongPath(LongPath(folder)); }

HostRun RunProgram(const std::string &program,
                   const std::vector<std::string> &arguments,
                   const HostRunOptions &options) {
  const fs::path captureFolder = MakeTemporaryFolder("host-run");
  WriteBytes(captureFolder / "in", options.input);
  HostRun run;
  {
    const Handle in(
        OpenStream(captureFolder / "in", GENERIC_READ, OPEN_EXISTING));
    const Handle out(OpenStream(
        options.outputPath.empty()
            ? captureFolder / "out"
            : fs::path(directive_host::platform::WideText(options.outputPath)),
        GENERIC_WRITE, CREATE_ALWAYS));
    const Handle err(
        OpenStream(captureFolder / "err", GENERIC_WRITE, CREATE_ALWAYS));
    if (!in.valid() || !out.valid() || !err.valid()) {
      RemoveTree(captureFolder);
      throw std::runtime_error("cannot redirect the streams of " + program);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();
    std::wstring line =
        directive_host::platform::QuotedCommandLine(program, arguments);
    std::wstring environment = EnvironmentBlock(options.environment);
    const std::wstring folder = options.folder.wstring();
    PROCESS_INFORMATION process{};
    const auto start = [&] {
      return CreateProcessW(
          directive_host::platform::WideText(program).c_str(), line.data(),
          nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
          options.environment.empty() ? nullptr : environment.data(),
          folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    };
    const bool started = directive_host::platform::StartProcessRetrying(start);
    if (!started) {
      const DWORD error = GetLastError();
      RemoveTree(captureFolder);
      throw std::runtime_error("cannot run " + program + ": error " +
                               std::to_string(error));
    }
    const Handle thread(process.hThread);
    const Handle child(process.hProcess);
    DWORD code = 0;
    if (WaitForSingleObject(child.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(child.get(), &code)) {
      RemoveTree(captureFolder);
      throw std::runtime_error("cannot wait for " + program);
    }
    run.exitCode = static_cast<int>(code);
  }
  run.out = options.outputPath.empty() ? ReadBytes(captureFolder / "out") : "";
  run.err = ReadBytes(captureFolder / "err");
  RemoveTree(captureFolder);
  return run;
}
