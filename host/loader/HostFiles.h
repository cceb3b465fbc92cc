// The few file and stream services directive-host needs that the standard
// library does not offer portably. One implementation per platform.
#pragma once

#include <cstdio>
#include <string>

namespace host {

// Switches standard input and output to binary mode, so that bytes pass
// through untranslated (no CR LF conversion, no end-of-file byte).
void UseBinaryStandardStreams();

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
