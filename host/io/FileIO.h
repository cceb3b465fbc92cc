// Reading scripts and property text, and rewriting files. Bytes pass through
// unchanged; every failure is a Failure that names the file and the reason.
#pragma once

#include "platform/HostFiles.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace directive_host {

// The name a file is reported under: "<stdin>" for "-".
std::string DisplayName(const std::string &path);

// The whole of the file `path`, or of standard input for "-".
std::string ReadInput(const std::string &path);

// A file as format -i read it, to be rewritten.
struct FileToRewrite {
  std::string path;   // as given
  std::string target; // the file itself, a symbolic link followed
  platform::FileState state;
  std::string contents;
};

// Reads the file `path` to rewrite it. Throws Failure, leaving the file as
// it is, when it is not a regular file (a FIFO, a device, ...): a new file in
// its place would not be what it was.
FileToRewrite ReadFileToRewrite(const std::string &path);

// New contents for a file that ReadFileToRewrite read, written through a
// temporary file in its folder and a rename, so that a failure leaves the
// file as it was. The temporary file is flushed to the disk before the
// rename, and the folder after it, so that a crash leaves the old contents
// or the new, never a short file; an interruption (Interrupts.h) removes it.
// The file keeps its owner and group where the system permits, and its
// permissions; a symbolic link keeps pointing at it.
class Rewrite {
public:
  // Starts the temporary file. Throws Failure, leaving the file as it is,
  // when the file has more names than one (hard links, which a new file
  // would part from it), or when no file can be created beside it.
  explicit Rewrite(const FileToRewrite &file);
  // Removes the temporary file unless Commit put it in place.
  ~Rewrite();
  Rewrite(const Rewrite &) = delete;
  Rewrite &operator=(const Rewrite &) = delete;

  void Write(std::string_view bytes);

  // Puts the new contents in place. Throws Failure, leaving the file as it
  // is, when anything fails before the rename, and when the file is no
  // longer what was read: another file, or changed since (size, time).
  void Commit();

private:
  void Fail(const std::string &reason);

  const FileToRewrite &file_;
  std::string folder_;
  std::string temporary_;
  std::FILE *stream_ = nullptr;
  std::string writeError_; // the first failure of Write
  bool committed_ = false;
};

} // namespace directive_host
