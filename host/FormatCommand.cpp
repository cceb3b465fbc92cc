#include "Commands.h"

#include "Errors.h"
#include "FileIO.h"
#include "Formatter.h"

#include <string>

namespace directive_host {

namespace {

void Warn(const std::string &file, const LineNote &note) {
  WriteDiagnostic(file + ":" + std::to_string(note.line) +
                  ": warning: left as it is: " + note.reason);
}

// Formats one file; returns whether any line would change or was left as it
// is because it could not be rewritten safely.
bool FormatFile(const Registry &registry, FormatMode mode,
                const std::string &path) {
  const std::string name = DisplayName(path);
  const std::string original = ReadInput(path);
  const FormatResult result = FormatText(original, registry);
  for (const LineNote &note : result.notes) {
    if (!note.rewritten) {
      Warn(name, note);
    }
    if (mode == FormatMode::kCheck) {
      WriteOutput(name + ":" + std::to_string(note.line) + "\n");
    }
  }
  if (mode == FormatMode::kPrint) {
    WriteOutput(result.text);
  } else if (mode == FormatMode::kInPlace && result.text != original) {
    ReplaceContents(path, result.text);
  }
  return !result.notes.empty();
}

} // namespace

int RunFormat(const Registry &registry, FormatMode mode,
              const std::vector<std::string> &files) {
  const std::vector<std::string> inputs =
      files.empty() ? std::vector<std::string>{"-"} : files;
  bool found = false;
  bool failed = false;
  for (const std::string &path : inputs) {
    try {
      found = FormatFile(registry, mode, path) || found;
    } catch (const Failure &failure) {
      WriteDiagnostic(std::string("directive-host: ") + failure.what());
      failed = true;
    }
  }
  if (failed) {
    return kExitFailure;
  }
  return mode == FormatMode::kCheck && found ? kExitCheckFound : kExitSuccess;
}

} // namespace directive_host
