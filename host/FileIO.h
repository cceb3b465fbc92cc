// Reading scripts and property text, writing results. Bytes pass through
// unchanged; every failure is a Failure that names the file and the reason.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace directive_host {

// The name a file is reported under: "<stdin>" for "-".
std::string DisplayName(const std::string &path);

// The whole of the file `path`, or of standard input for "-".
std::string ReadInput(const std::string &path);

// Calls `handle` with each of `paths` ("-" for standard input; standard
// input alone when there are none). A Failure is reported on standard error
// and the next path handled. Returns kExitFailure when any failed, else
// kExitFound when `handle` returned true for any, else kExitSuccess.
int ForEachInput(const std::vector<std::string> &paths,
                 const std::function<bool(const std::string &)> &handle);

// Appends to standard output.
void WriteOutput(std::string_view bytes);

// Writes one line to standard error.
void WriteDiagnostic(const std::string &line);

// Flushes standard output; throws when anything written to it was lost.
void FinishOutput();

// Replaces the contents of `path` through a temporary file in its folder and
// a rename, so that a failure leaves the file as it was. The temporary file
// is flushed to the disk before the rename, and the folder after it, so that
// a crash leaves the old contents or the new, never a short file. Follows a
// symbolic link to the file it names, and keeps the file's permissions.
void ReplaceContents(const std::string &path, std::string_view contents);

} // namespace directive_host
