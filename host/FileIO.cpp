#include "FileIO.h"

#include "Errors.h"
#include "HostFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace directive_host {

namespace fs = std::filesystem;

namespace {

std::string SystemReason() { return std::strerror(errno); }

std::string ReadStream(std::FILE *stream, const std::string &name) {
  std::string contents;
  char chunk[65536];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
    contents.append(chunk, count);
  }
  if (std::ferror(stream)) {
    throw Failure("cannot read '" + name + "': " + SystemReason());
  }
  return contents;
}

// Writes `contents` to the existing file `path` and on to the disk; returns
// "" or the reason it failed.
std::string WriteFile(const std::string &path, std::string_view contents) {
  std::FILE *file = host::OpenFile(path, "wb");
  if (file == nullptr) {
    return SystemReason();
  }
  const bool written =
      std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  std::string reason = written ? "" : SystemReason();
  if (reason.empty()) {
    host::FlushToDisk(file, reason);
  }
  if (std::fclose(file) != 0 && reason.empty()) {
    reason = SystemReason();
  }
  return reason;
}

std::string ResolveLink(const std::string &path) {
  std::error_code error;
  if (!fs::is_symlink(host::FileSystemPath(path), error)) {
    return path;
  }
  const fs::path target = fs::canonical(host::FileSystemPath(path), error);
  if (error) {
    throw Failure("cannot write '" + path + "': " + error.message());
  }
  return host::PathString(target);
}

} // namespace

std::string DisplayName(const std::string &path) {
  return path == "-" ? "<stdin>" : path;
}

std::string ReadInput(const std::string &path) {
  if (path == "-") {
    return ReadStream(stdin, DisplayName(path));
  }
  std::FILE *file = host::OpenFile(path, "rb");
  if (file == nullptr) {
    throw Failure("cannot read '" + path + "': " + SystemReason());
  }
  try {
    std::string contents = ReadStream(file, path);
    std::fclose(file);
    return contents;
  } catch (...) {
    std::fclose(file);
    throw;
  }
}

int ForEachInput(const std::vector<std::string> &paths,
                 const std::function<bool(const std::string &)> &handle) {
  const std::vector<std::string> inputs =
      paths.empty() ? std::vector<std::string>{"-"} : paths;
  bool found = false;
  bool failed = false;
  for (const std::string &path : inputs) {
    try {
      found = handle(path) || found;
    } catch (const Failure &failure) {
      WriteDiagnostic(std::string("directive-host: ") + failure.what());
      failed = true;
    }
  }
  if (failed) {
    return kExitFailure;
  }
  return found ? kExitFound : kExitSuccess;
}

void WriteOutput(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void WriteDiagnostic(const std::string &line) {
  std::fputs((line + "\n").c_str(), stderr);
}

void FinishOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    throw Failure("cannot write standard output: " + SystemReason());
  }
}

void ReplaceContents(const std::string &path, std::string_view contents) {
  const std::string target = ResolveLink(path);
  const fs::path targetPath = host::FileSystemPath(target);
  const std::string folder = targetPath.has_parent_path()
                                 ? host::PathString(targetPath.parent_path())
                                 : ".";
  std::string reason;
  const std::string temporary = host::CreateUniqueFile(folder, reason);
  if (temporary.empty()) {
    throw Failure("cannot write '" + path + "': cannot create a file in '" +
                  folder + "': " + reason);
  }
  reason = WriteFile(temporary, contents);
  if (reason.empty()) {
    std::error_code ignored;
    const fs::file_status original = fs::status(targetPath, ignored);
    if (!ignored) {
      fs::permissions(host::FileSystemPath(temporary), original.permissions(),
                      ignored);
    }
    if (host::RenameReplacing(temporary, target, reason)) {
      if (!host::SyncDirectory(folder, reason)) {
        throw Failure("'" + path + "' was rewritten, but its folder '" +
                      folder + "' could not be synced to the disk: " + reason);
      }
      return;
    }
  }
  // The temporary file may have taken a read-only mode from the target,
  // which Windows will not delete.
  std::error_code ignored;
  const fs::path temporaryPath = host::FileSystemPath(temporary);
  fs::permissions(temporaryPath, fs::perms::owner_write, fs::perm_options::add,
                  ignored);
  fs::remove(temporaryPath, ignored);
  throw Failure("cannot write '" + path + "': " + reason);
}

} // namespace directive_host
