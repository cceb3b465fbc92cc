#include "FileIO.h"

#include "Errors.h"
#include "Interrupts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace directive_host {

namespace fs = std::filesystem;

namespace {

std::string SystemReason() { return std::strerror(errno); }

// Reads all of `stream`; `size` is what it is expected to hold, so that the
// text is read into one buffer of its size, not into ever larger ones.
std::string ReadStream(std::FILE *stream, const std::string &name,
                       std::uint64_t size = 0) {
  std::string contents;
  contents.reserve(static_cast<std::size_t>(size));
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

// Opens `path` to read; throws the Failure every command gives, naming the
// file `name`, when it cannot.
std::FILE *OpenToRead(const std::string &path, const std::string &name) {
  std::FILE *file = host::OpenFile(path, "rb");
  if (file == nullptr) {
    throw Failure("cannot read '" + name + "': " + SystemReason());
  }
  return file;
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
  std::FILE *file = OpenToRead(path, path);
  try {
    host::FileState state;
    std::string ignored;
    const bool sized = host::StatOpenFile(file, state, ignored) &&
                       state.kind == host::FileState::Kind::kRegular;
    std::string contents = ReadStream(file, path, sized ? state.size : 0);
    std::fclose(file);
    return contents;
  } catch (...) {
    std::fclose(file);
    throw;
  }
}

FileToRewrite ReadFileToRewrite(const std::string &path) {
  FileToRewrite file{path, ResolveLink(path), {}, {}};
  std::string reason;
  host::FileState before;
  if (!host::StatFile(file.target, before, reason)) {
    // Opening fails as well, for the reason every command gives.
    std::fclose(OpenToRead(file.target, path));
    throw Failure("cannot read '" + path + "': " + reason);
  }
  // Checked before opening it: opening a FIFO waits for a writer.
  if (before.kind == host::FileState::Kind::kOther) {
    throw Failure("cannot rewrite '" + path + "': it is a " + before.kindName +
                  ", not a regular file; left as it is");
  }
  std::FILE *stream = OpenToRead(file.target, path);
  try {
    if (!host::StatOpenFile(stream, file.state, reason)) {
      throw Failure("cannot read '" + path + "': " + reason);
    }
    file.contents = ReadStream(stream, path, file.state.size);
    std::fclose(stream);
  } catch (...) {
    std::fclose(stream);
    throw;
  }
  if (file.state.kind == host::FileState::Kind::kOther ||
      !file.state.SameVersion(before)) {
    throw Failure("cannot rewrite '" + path +
                  "': it changed while it was read; left as it is");
  }
  return file;
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
    } catch (const std::bad_alloc &) {
      // What the file needed is freed by now; the next may need less.
      WriteDiagnostic("directive-host: not enough memory for '" +
                      DisplayName(path) + "'; left as it is");
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
  // One write each: standard error is unbuffered.
  std::fputs((line + "\n").c_str(), stderr);
}

void FinishOutput() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    throw Failure("cannot write standard output: " + SystemReason());
  }
}

Rewrite::Rewrite(const FileToRewrite &file) : file_(file) {
  if (file.state.links > 1) {
    throw Failure("cannot rewrite '" + file.path + "': it has " +
                  std::to_string(file.state.links) +
                  " names (hard links), which a new file in its place would "
                  "part; left as it is");
  }
  const fs::path target = host::FileSystemPath(file.target);
  folder_ =
      target.has_parent_path() ? host::PathString(target.parent_path()) : ".";
  std::string reason;
  stream_ = host::CreateUniqueFile(folder_, temporary_, reason);
  if (stream_ == nullptr) {
    throw Failure("cannot write '" + file.path +
                  "': cannot create a file in '" + folder_ + "': " + reason);
  }
  host::RemoveOnInterrupt(temporary_);
}

Rewrite::~Rewrite() {
  if (committed_) {
    return;
  }
  if (stream_ != nullptr) {
    std::fclose(stream_);
  }
  // The temporary file may have taken a read-only mode from the target,
  // which Windows will not delete.
  std::error_code ignored;
  const fs::path temporary = host::FileSystemPath(temporary_);
  fs::permissions(temporary, fs::perms::owner_write, fs::perm_options::add,
                  ignored);
  fs::remove(temporary, ignored);
  host::ForgetOnInterrupt();
}

void Rewrite::Write(std::string_view bytes) {
  if (writeError_.empty() &&
      std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
    writeError_ = SystemReason();
  }
}

void Rewrite::Fail(const std::string &reason) {
  throw Failure("cannot write '" + file_.path + "': " + reason);
}

void Rewrite::Commit() {
  std::string reason;
  if (!writeError_.empty()) {
    Fail(writeError_);
  }
  if (!host::FlushToDisk(stream_, reason)) {
    Fail(reason);
  }
  std::FILE *stream = stream_;
  stream_ = nullptr;
  if (std::fclose(stream) != 0) {
    Fail(SystemReason());
  }
  if (!host::KeepOwnerAndMode(temporary_, file_.state, reason)) {
    Fail(reason);
  }
  // An edit made since the file was read would be lost under the rename.
  host::FileState now;
  if (!host::StatFile(file_.target, now, reason) ||
      !now.SameVersion(file_.state)) {
    throw Failure("cannot rewrite '" + file_.path +
                  "': it changed while it was being formatted; left as it is "
                  "(run format again)");
  }
  if (!host::RenameReplacing(temporary_, file_.target, reason)) {
    Fail(reason);
  }
  committed_ = true;
  host::ForgetOnInterrupt();
  if (!host::SyncDirectory(folder_, reason)) {
    throw Failure("'" + file_.path + "' was rewritten, but its folder '" +
                  folder_ + "' could not be synced to the disk: " + reason);
  }
}

} // namespace directive_host
