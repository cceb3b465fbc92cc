// The few file and stream services directive-host needs that the standard
// library does not offer portably. One implementation per platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace directive_host::platform {

// Paths are strings in the system's narrow encoding (on Windows the ANSI
// code page), as the command line gives them and as messages print them.

// Switches standard input, output and error to binary mode, so that bytes
// pass through untranslated (no CR LF conversion, no end-of-file byte) and
// every stream ends its lines alike.
void UseBinaryStandardStreams();

// Opens `path` as std::fopen does with `mode`, at any length of path. On
// failure returns null and leaves the reason in errno.
std::FILE *OpenFile(const std::string &path, const char *mode);

// `path` for std::filesystem, and a std::filesystem path back as a string.
// On Windows the standard library converts narrow strings in an encoding
// of its own, not the ANSI code page, so a name with letters outside ASCII
// would name another file.
std::filesystem::path FileSystemPath(const std::string &path);
std::string PathString(const std::filesystem::path &path);

// What a file is and which version of it: enough to tell that it was
// changed, replaced or given another name since it was looked at.
struct FileState {
  enum class Kind { kRegular, kFolder, kOther };
  Kind kind = Kind::kOther;
  std::string kindName; // for kOther: "FIFO", "socket", "device", ...
  std::uint64_t device = 0;
  std::uint64_t identity = 0; // the inode, or Windows' file index
  std::uint64_t size = 0;
  std::int64_t modified = 0; // in the system's finest unit
  std::uint64_t links = 0;   // names the file has (hard links)
  std::uint32_t mode = 0;    // permission bits (POSIX)
  std::uint32_t owner = 0;   // user and group (POSIX)
  std::uint32_t group = 0;

  // The same file, unchanged: same identity, size, time and names.
  bool SameVersion(const FileState &other) const {
    return device == other.device && identity == other.identity &&
           size == other.size && modified == other.modified &&
           links == other.links;
  }
};

// The state of the file `path` names, following symbolic links, or of the
// open `file`. On failure returns false and sets `error` to the system's
// reason.
bool StatFile(const std::string &path, FileState &state, std::string &error);
bool StatOpenFile(std::FILE *file, FileState &state, std::string &error);

// Creates a new, empty file with a unique name in `directory` and opens it
// for writing in binary mode; sets `path` to its path. Once the file is
// RemoveOnInterrupt's (Interrupts.h), it can be removed while it is open.
// On failure returns null and sets `error` to the system's reason.
std::FILE *CreateUniqueFile(const std::string &directory, std::string &path,
                            std::string &error);

// Gives the closed file `path` the owner, group and permissions of
// `original`, as far as the system lets this process (a user who may not
// give a file away keeps it, group included, without failing). On failure
// to set the permissions returns false and sets `error`.
bool KeepOwnerAndMode(const std::string &path, const FileState &original,
                      std::string &error);

// Flushes the buffers of `file` and has the system write its data to the
// disk before returning. On failure returns false and sets `error` to the
// system's reason.
bool FlushToDisk(std::FILE *file, std::string &error);

// Renames `from` to `to`, replacing `to` in one step when it exists. On
// failure returns false and sets `error` to the system's reason.
bool RenameReplacing(const std::string &from, const std::string &to,
                     std::string &error);

// Has the system write the entries of `directory` to the disk, so that a
// rename in it survives a crash; where RenameReplacing already waits for
// that (Windows), does nothing. On failure returns false and sets `error` to
// the system's reason.
bool SyncDirectory(const std::string &directory, std::string &error);

} // namespace directive_host::platform
