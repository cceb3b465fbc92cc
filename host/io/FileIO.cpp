#include "io/FileIO.h"

#include "io/Errors.h"
#include "platform/Interrupts.h"

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
  std::FILE *file = platform::OpenFile(path, "rb");
  if (file == nullptr) {
    throw Failure("cannot read '" + name + "': " + SystemReason());
  }
  return file;
}

std::string ResolveLink(const std::string &path) {
  std::error_code error;
  if (!fs::is_symlink(platform::FileSystemPath(path), error)) {
    return path;
  }
  const fs::path target = fs::canonical(platform::FileSystemPath(path), error);
  if (error) {
    throw Failure("cannot write '" + path + "': " + error.message());
  }
  return platform::PathString(target);
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
    platform::FileState state;
    std::string ignored;
    const bool sized = platform::StatOpenFile(file, state, ignored) &&
                       state.kind == platform::FileState::Kind::kRegular;
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
  platform::FileState before;
  if (!platform::StatFile(file.target, before, reason)) {
    // Opening fails as well, for the reason every command gives.
    std::fclose(OpenToRead(file.target, path));
    throw Failure("cannot read '" + path + "': " + reason);
  }
  // Checked before opening it: opening a FIFO waits for a writer.
  if (before.kind == platform::FileState::Kind::kOther) {
    throw Failure("cannot rewrite '" + path + "': it is a " + before.kindName +
                  ", not a regular file; left as it is");
  }
  std::FILE *stream = OpenToRead(file.target, path);
  try {
    if (!platform::StatOpenFile(stream, file.state, reason)) {
      throw Failure("cannot read '" + path + "': " + reason);
    }
    file.contents = ReadStream(stream, path, file.state.size);
    std::fclose(stream);
  } catch (...) {
    std::fclose(stream);
    throw;
  }
  if (file.state.kind == platform::FileState::Kind::kOther ||
      !file.state.SameVersion(before)) {
    throw Failure("cannot rewrite '" + path +
                  "': it changed while it was read; left as it is");
  }
  return file;
}

Rewrite::Rewrite(const FileToRewrite &file) : file_(file) {
  if (file.state.links > 1) {
    throw Failure("cannot rewrite '" + file.path + "': it has " +
                  std::to_string(file.state.links) +
                  " names (hard links), which a new file in its place would "
                  "part; left as it is");
  }
  const fs::path target = platform::FileSystemPath(file.target);
  folder_ = target.has_parent_path()
                ? platform::PathString(target.parent_path())
                : ".";
  std::string reason;
  stream_ = platform::CreateUniqueFile(folder_, temporary_, reason);
  if (stream_ == nullptr) {
    throw Failure("cannot write '" + file.path +
                  "': cannot create a file in '" + folder_ + "': " + reason);
  }
  platform::RemoveOnInterrupt(temporary_);
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
  const fs::path temporary = platform::FileSystemPath(temporary_);
  fs::permissions(temporary, fs::perms::owner_write, fs::perm_options::add,
                  ignored);
  fs::remove(temporary, ignored);
  platform::ForgetOnInterrupt();
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
  if (!platform::FlushToDisk(stream_, reason)) {
    Fail(reason);
  }
  std::FILE *stream = stream_;
  stream_ = nullptr;
  if (std::fclose(stream) != 0) {
    Fail(SystemReason());
  }
  if (!platform::KeepOwnerAndMode(temporary_, file_.state, reason)) {
    Fail(reason);
  }
  // An edit made since the file was read would be lost under the rename.
  platform::FileState now;
  if (!platform::StatFile(file_.target, now, reason) ||
      !now.SameVersion(file_.state)) {
    throw Failure("cannot rewrite '" + file_.path +
                  "': it changed while it was being formatted; left as it is "
                  "(run format again)");
  }
  if (!platform::RenameReplacing(temporary_, file_.target, reason)) {
    Fail(reason);
  }
  committed_ = true;
  platform::ForgetOnInterrupt();
  if (!platform::SyncDirectory(folder_, reason)) {
    throw Failure("'" + file_.path + "' was rewritten, but its folder '" +
                  folder_ + "' could not be synced to the disk: " + reason);
  }
}

} // namespace directive_host
