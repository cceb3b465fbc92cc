#include "platform/HostFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace directive_host::platform {

void UseBinaryStandardStreams() {}

std::FILE *OpenFile(const std::string &path, const char *mode) {
  return std::fopen(path.c_str(), mode);
}

std::filesystem::path FileSystemPath(const std::string &path) { return path; }

std::string PathString(const std::filesystem::path &path) {
  return path.string();
}

namespace {

const char *KindName(mode_t mode) {
  if (S_ISFIFO(mode)) {
    return "FIFO";
  }
  if (S_ISSOCK(mode)) {
    return "socket";
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return "device";
  }
  return "special file";
}

FileState StateOf(const struct stat &info) {
  FileState state;
  state.kind = S_ISREG(info.st_mode)   ? FileState::Kind::kRegular
               : S_ISDIR(info.st_mode) ? FileState::Kind::kFolder
                                       : FileState::Kind::kOther;
  if (state.kind == FileState::Kind::kOther) {
    state.kindName = KindName(info.st_mode);
  }
  state.device = info.st_dev;
  state.identity = info.st_ino;
  state.size = static_cast<std::uint64_t>(info.st_size);
  state.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                   info.st_mtim.tv_nsec;
  state.links = info.st_nlink;
  state.mode = info.st_mode & 07777;
  state.owner = info.st_uid;
  state.group = info.st_gid;
  return state;
}

} // namespace

bool StatFile(const std::string &path, FileState &state, std::string &error) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    error = std::strerror(errno);
    return false;
  }
  state = StateOf(info);
  return true;
}

bool StatOpenFile(std::FILE *file, FileState &state, std::string &error) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0) {
    error = std::strerror(errno);
    return false;
  }
  state = StateOf(info);
  return true;
}

std::FILE *CreateUniqueFile(const std::string &directory, std::string &path,
                            std::string &error) {
  const std::string pattern = directory + "/.directive-host-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  path = name.data();
  std::FILE *file = fdopen(descriptor, "wb");
  if (file == nullptr) {
    error = std::strerror(errno);
    close(descriptor);
    unlink(path.c_str());
  }
  return file;
}

bool KeepOwnerAndMode(const std::string &path, const FileState &original,
                      std::string &error) {
  // As sed -i does: the owner and group where this user may give them, else
  // the group alone where it may, else the file stays this user's. The mode
  // comes after, since a change of owner clears the set-id bits.
  if (chown(path.c_str(), original.owner, original.group) != 0 &&
      chown(path.c_str(), static_cast<uid_t>(-1), original.group) != 0) {
    // Not permitted: the new file stays this user's.
  }
  if (chmod(path.c_str(), static_cast<mode_t>(original.mode)) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
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

} // namespace directive_host::platform
