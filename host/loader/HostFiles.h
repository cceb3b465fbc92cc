// The few file and stream services directive-host needs that the standard
// library does not offer portably. One implementation per platform.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace host {

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

// Creates a new, empty file with a unique name in `directory` and returns its
// path. On failure returns "" and sets `error` to the system's reason.
std::string CreateUniqueFile(const std::string &directory, std::string &error);

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

} // namespace host
